// Putting a finished file in place on Windows, where a virus scanner or the search indexer often
// holds a freshly written file for a few milliseconds.
#pragma once

#include <filesystem>

// Renames from over to, trying again for about a second while either file is held by another
// handle (sharing or lock violation on our temporary, access denied on a held target; Wine says
// access denied for any opened target). Any other failure, or one that outlasts the wait, gives
// false at once with both files as they were.
bool RenameWithRetry(const std::filesystem::path& from, const std::filesystem::path& to);

// What both entries call first: the floating-point state, and this rename for every file the
// core replaces.
void PreparePlatform();
