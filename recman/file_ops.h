// Record-file operations that work on the catalogue and on whole tables:
// create, add a key, exists, copy, rename, delete, list, save and load.
// Each is one SQLite savepoint, so it happens completely or not at all and
// joins a running transaction.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace recman {

// overwrite: replace an existing file (else kFileExists).
int CreateFile(const std::string& path, const uint8_t* definition, size_t size, bool overwrite);
int AddSupplementalKey(const std::string& directory, const std::string& name,
                       const uint8_t* keyDefinitions, size_t size);

}  // namespace recman
