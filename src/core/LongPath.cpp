// The long-path form of a Windows path, done on the text alone.
#include "LongPath.h"

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// \\?\, \\.\ or \??\ (the first two also with forward slashes, which Windows reads alike).
bool HasPrefix(std::wstring_view path) {
    if (path.size() < 4 || !IsSeparator(path[3])) return false;
    if (path[0] == L'\\' && path[1] == L'?' && path[2] == L'?') return true;
    return IsSeparator(path[0]) && IsSeparator(path[1]) && (path[2] == L'?' || path[2] == L'.');
}

}  // namespace

std::wstring LongPathForm(std::wstring_view path) {
    if (HasPrefix(path)) return std::wstring(path);
    // Built a character at a time in room made once: the string's general replace, which its
    // appends bring in, would be an exe's only copy of it.
    std::wstring form;
    form.reserve(path.size() + 8);
    const auto append = [&form](std::wstring_view text) {
        for (const wchar_t c : text) form.push_back(c);
    };
    std::size_t from = 0;   // where the names start in path
    int rootNamesLeft = 0;  // of a share: its server and its name, which ".." never takes
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && IsSeparator(path[2])) {
        append(L"\\\\?\\");
        append(path.substr(0, 2));
        from = 3;
    } else if (path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
               !IsSeparator(path[2])) {
        append(L"\\\\?\\UNC");
        from = 2;
        rootNamesLeft = 2;
    } else {
        return std::wstring(path);
    }
    std::size_t root = form.size();  // the names from here on may be taken away by ".."
    while (from < path.size()) {
        std::size_t end = from;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        const std::wstring_view name = path.substr(from, end - from);
        if (name == L"..") {
            if (rootNamesLeft == 0 && form.size() > root) form.resize(form.rfind(L'\\'));
        } else if (!name.empty() && name != L".") {
            form.push_back(L'\\');
            append(name);
            if (rootNamesLeft > 0 && --rootNamesLeft == 0) root = form.size();
        }
        from = end + 1;
    }
    // The root itself ends with its separator, as "C:\" does; so does a path that had one.
    if (rootNamesLeft > 0 || form.size() == root || IsSeparator(path.back())) form.push_back(L'\\');
    return form;
}
