// How Windows' file functions take a path of any length. Without the prefix \\?\ they refuse a
// folder name of 248 characters or more and a file name of 260, and a tool folder deep in a
// project tree or a synced folder reaches that; with the prefix the limit is about 32,767. Pure
// text, so that it is tested on every system.
#pragma once

#include <string>
#include <string_view>

// An absolute path ("C:\..." or "C:/...") with the prefix \\?\, a "\\server\share\..." path
// with \\?\UNC\ instead of its two leading separators. The prefix also turns off the
// normalisation that Windows does on every other path, so it is done here first: '/' becomes
// '\', repeated separators count as one, "." is dropped and ".." takes away the name before it
// (never the drive or the share). A trailing separator stays. A path that already has a prefix
// (\\?\, \\.\ or \??\) and a relative one ("name", "\name", "C:name") come back as they are.
std::wstring LongPathForm(std::wstring_view path);
