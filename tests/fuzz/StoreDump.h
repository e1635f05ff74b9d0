// The whole exchange store and running attribute state as bytes, so that two ways of filling
// them can be compared field by field.
#pragma once

#include <string>

std::string DumpStore();

// Aborts unless the store has the shape and limits the reader promises: table sizes, indexes
// within their tables, an entity order that matches the lists, texts of at most 255 bytes.
void RequireStoreShape();
