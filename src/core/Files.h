// The file operations of the core. The platform supplies them: src/win with the system's calls
// on wide names, any other system FilesPortable.cpp. Which one is linked is chosen by the build,
// so a Windows exe carries none of the standard library's file machinery.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

// A file's name as the system takes it: UTF-16 where the system's names are wide (Windows), bytes
// elsewhere. The core only takes a name apart at its last separator and adds ASCII to it.
// std::filesystem::path would do as much, but on Windows any use of it links its conversions
// from narrow text and with them the whole locale machinery, half the exe.
class TPath {
public:
    using TChar = std::filesystem::path::value_type;
    using TText = std::basic_string<TChar>;

    TPath() = default;
    TPath(TText text) : Text(std::move(text)) {}
    TPath(const TChar* text) : Text(text) {}
    // The tools and tests name their folders with the standard library.
    TPath(const std::filesystem::path& path) : Text(path.native()) {}

    const TChar* c_str() const { return Text.c_str(); }
    const TText& Native() const { return Text; }
    bool empty() const { return Text.empty(); }
    friend bool operator==(const TPath&, const TPath&) = default;

    // The folder, up to and with the last separator; empty when there is none.
    TPath Folder() const { return Text.substr(0, NameStart()); }
    // What follows the last separator.
    TPath FileName() const { return Text.substr(NameStart()); }
    // The path with ASCII text added to its end, each character widened as it is.
    TPath operator+(std::string_view ascii) const {
        TText text = Text;
        text.append(ascii.begin(), ascii.end());
        return text;
    }
    // The file name's extension (from its last dot, unless that is its first character or the
    // name is "..") replaced by an ASCII one, dot included.
    TPath WithExtension(std::string_view ascii) const {
        const std::size_t name = NameStart();
        const std::size_t dot = Text.rfind('.');
        const bool dotDot = Text.size() - name == 2 && dot == name + 1 && Text[name] == '.';
        const bool cut = dot != TText::npos && dot > name && !dotDot;
        return TPath(Text.substr(0, cut ? dot : Text.size())) + ascii;
    }
    // A name inside a folder.
    friend TPath operator/(const TPath& folder, const TPath& name) {
        TText text = folder.Text;
        if (!text.empty() && !IsSeparator(text.back())) text += Separator;
        return text + name.Text;
    }

private:
    static constexpr TChar Separator = std::filesystem::path::preferred_separator;
    static bool IsSeparator(TChar c) { return c == TChar('/') || c == Separator; }
    std::size_t NameStart() const {
        std::size_t at = Text.size();
        while (at > 0 && !IsSeparator(Text[at - 1])) --at;
        return at;
    }

    TText Text;
};

// An open file, closed when it goes (CloseFile to see whether closing fails). The core reads,
// writes and closes it only through the functions below, so that every call into the system sits
// in the platform's file layer.
struct TCloseFile {
    void operator()(std::FILE* file) const;
};
using TOpenFile = std::unique_ptr<std::FILE, TCloseFile>;

// A file opened to read its bytes, or to write them from an empty file; null when it cannot be.
TOpenFile OpenFileToRead(const TPath& path);
TOpenFile OpenFileToWrite(const TPath& path);

// Up to `size` bytes from where the file stands, into `into`: fewer only at its end, or on a read
// error, which also sets `failed`.
std::size_t ReadFromFile(const TOpenFile& file, char* into, std::size_t size, bool& failed);
// True when every byte was handed on.
[[nodiscard]] bool WriteToFile(const TOpenFile& file, std::string_view bytes);
// Closes the file: true when everything written before has reached it.
[[nodiscard]] bool CloseFile(TOpenFile file);

// What is known of an existing file: POSIX follows a symbolic link, Windows tells of the link.
struct TFileFacts {
    bool Regular = false;      // a file, not a folder or a device
    bool ReadOnly = false;     // a regular file its owner may not write
    std::uintmax_t Bytes = 0;  // a regular file's size
};
// False when nothing is at path or it cannot be asked.
bool FileFacts(const TPath& path, TFileFacts& facts);

// A new, empty folder: Made, or Taken when the name is already a folder's or a file's.
enum class TMakeFolder { Made, Taken, Failed };
TMakeFolder MakeFolder(const TPath& path);

// Each true when the file, or the empty folder, is gone.
bool RemoveFile(const TPath& path);
bool RemoveFolder(const TPath& path);

// Puts the finished file `from` in the place of `to`, true when it is there; on failure both are
// as they were.
bool RenameFileOver(const TPath& from, const TPath& to);
