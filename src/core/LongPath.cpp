// The long-path form of a Windows path, done on the text alone.
#include "LongPath.h"

#include <vector>

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// \\?\, \\.\ or \??\ (the first two also with forward slashes, which Windows reads alike).
bool HasPrefix(std::wstring_view path) {
    if (path.size() < 4 || !IsSeparator(path[3])) return false;
    if (path[0] == L'\\' && path[1] == L'?' && path[2] == L'?') return true;
    return IsSeparator(path[0]) && IsSeparator(path[1]) && (path[2] == L'?' || path[2] == L'.');
}

// The names between separators from `from` on, with "." and ".." resolved; `kept` of them are
// the root's (the share's server and name), which ".." never takes away.
std::vector<std::wstring_view> Names(std::wstring_view path, std::size_t from, std::size_t kept) {
    std::vector<std::wstring_view> names;
    while (from < path.size()) {
        std::size_t end = from;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        const std::wstring_view name = path.substr(from, end - from);
        if (name == L"..") {
            if (names.size() > kept) names.pop_back();
        } else if (!name.empty() && name != L".") {
            names.push_back(name);
        }
        from = end + 1;
    }
    return names;
}

}  // namespace

std::wstring LongPathForm(std::wstring_view path) {
    if (HasPrefix(path)) return std::wstring(path);
    std::wstring form;
    std::vector<std::wstring_view> names;
    std::size_t rootNames = 0;
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && IsSeparator(path[2])) {
        form = L"\\\\?\\";
        form += path.substr(0, 2);
        names = Names(path, 3, 0);
    } else if (path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
               !IsSeparator(path[2])) {
        form = L"\\\\?\\UNC";
        rootNames = 2;  // server and share
        names = Names(path, 2, rootNames);
    } else {
        return std::wstring(path);
    }
    for (const std::wstring_view name : names) {
        form += L'\\';
        form += name;
    }
    // The root itself ends with its separator, as "C:\" does; so does a path that had one.
    if (names.size() <= rootNames || IsSeparator(path.back())) form += L'\\';
    return form;
}
