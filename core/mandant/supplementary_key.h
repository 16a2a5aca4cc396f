// Adding a key to an existing record file, as the conversions of data from
// older versions need: a file written before a key existed gets it added,
// with its index built over the records already there.
#pragma once

#include <string>

namespace talvera {

// A string key of one segment (position counted from 1), duplicates allowed
// and modifiable. A file that already has a key of exactly this segment is
// left as it is, so a conversion that failed half-way can run again.
// False (status reported) when the file cannot be opened or indexed.
bool AddSupplementaryKey(const std::string& path, int position, int length);

}  // namespace talvera
