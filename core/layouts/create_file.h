// Creating record files from their layouts.
#pragma once

#include <string>
#include <vector>

#include "core/layouts/layout.h"

namespace talvera::layouts {

// The record manager's file definition of a layout: the 16-byte file
// part (record length, page size 2048, key count, no file flags) and one
// 16-byte key part per key segment (position from 1, length, flags, type).
std::vector<unsigned char> FileDefinition(const Layout& layout);

// Creates (or overwrites) <directory>/<name>.btr empty with the layout's
// definition; the layouts of butext, buscha and stapel then get the rows
// a new file of theirs holds, inserted through the record store's scratch
// slot. False when the create failed (status in *status; the caller shows
// its message, e.g. 507) or a row could not be inserted (the store has
// reported it; the rows inserted so far stay).
bool CreateFile(const Layout& layout, const std::string& directory, const std::string& name,
                int* status = nullptr);
// The same with the layout that belongs to the file name ("sako", "debi",
// ...); false for a name no layout has.
bool CreateFile(const std::string& directory, const std::string& name);

}  // namespace talvera::layouts
