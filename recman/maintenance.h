// Maintenance of record files for talvi-butil and the tests: describing a
// file, listing its records, checking its indexes, and flat-file save/load.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace recman {

// German short text of a status for messages ("Datei nicht gefunden").
std::string StatusText(int status);

// Record length, page size, record count and the keys with their segments.
int DescribeFile(const std::string& path, std::string* text);

// Calls visit with every record in the order of key keyNumber.
int ForEachRecord(const std::string& path, int keyNumber,
                  const std::function<void(const uint8_t* record, size_t length)>& visit);

// One record as one readable line: printable characters as they are (text in
// records is Windows-1252; letters above 0xA0 are shown as UTF-8), NUL as \0,
// backslash as \\, anything else as \xHH.
std::string FormatRecord(const uint8_t* record, size_t length);

// Runs SQLite's integrity check on the whole records.db of the file's
// directory, checks that every key of the file definition has its index
// (unique where the key is) and that no trigger or view is in the
// database, and compares every stored key with the key computed from the
// record bytes. Each finding becomes one line in problems. kOk means the
// file could be checked.
int CheckFile(const std::string& path, std::vector<std::string>* problems);

// A flat file of fixed-length records in key 0 order, and back (the records
// are added to the file, all in one transaction).
int SaveFlat(const std::string& path, const std::string& flatPath, uint64_t* count);
int LoadFlat(const std::string& path, const std::string& flatPath, uint64_t* count);

}  // namespace recman
