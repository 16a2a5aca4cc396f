// The keyed record manager: fixed-length record files with Btrieve-style keys,
// stored in one SQLite database (records.db) per directory.
//
// Everything the record store needs goes through Call(), the one classic
// seven-argument call: operation code, 128-byte position block, data buffer,
// data length (in and out), key buffer, key length (always 255 here), key
// number. The result is a status code (0 = success).
//
// Around it sit the file-level operations (exists, copy, rename, delete,
// list, save/load for backup, add a supplementary key); no other code touches
// record files on disk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace recman {

constexpr int kPositionBlockSize = 128;
constexpr int kMaxKeyLength = 255;

// Operation codes of Call().
enum Op : uint16_t {
  kOpen = 0,
  kClose = 1,
  kInsert = 2,
  kUpdate = 3,
  kDelete = 4,
  kGetEqual = 5,
  kGetNext = 6,
  kGetPrevious = 7,
  kGetGreater = 8,
  kGetGreaterOrEqual = 9,
  kGetLess = 10,
  kGetLessOrEqual = 11,
  kGetFirst = 12,
  kGetLast = 13,
  kCreate = 14,
  kStat = 15,
  kBeginTransaction = 19,
  kEndTransaction = 20,
  kAbortTransaction = 21,
  kGetPosition = 22,
  kGetDirect = 23,
  kCreateSupplementalIndex = 31,
};

// Status codes (the classic table; the ones the system relies on are named).
enum Status : int {
  kOk = 0,
  kInvalidOperation = 1,
  kIoError = 2,
  kFileNotOpen = 3,
  kKeyNotFound = 4,
  kDuplicateKey = 5,
  kInvalidKeyNumber = 6,
  kDifferentKeyNumber = 7,
  kInvalidPositioning = 8,
  kEndOfFile = 9,
  kModifiableKeyChanged = 10,
  kInvalidFileName = 11,
  kFileNotFound = 12,
  kDiskFull = 18,
  kKeyBufferTooShort = 21,
  kDataBufferTooShort = 22,  // also: insert/update length is not the record length
  kInvalidRecordLength = 24,
  kInvalidKeyPosition = 27,
  kNotAFile = 30,            // records.db damaged or not ours
  kDirectoryError = 35,      // create in a directory that does not exist
  kTransactionError = 36,    // also: a directory first needed after a write in a transaction
  kTransactionActive = 37,
  kNoTransaction = 39,
  kInvalidRecordAddress = 43,  // GetDirect: no record at that position
  kInvalidKeyFlags = 45,
  kAccessDenied = 46,
  kInvalidKeyType = 49,
  kFileExists = 59,
  kConflict = 80,            // record changed by another process since read
  kLockError = 81,
  kRecordInUse = 84,         // lock could not be had (record)
  kFileInUse = 85,           // lock could not be had (file)
};

// File definition, as passed to kCreate and returned by kStat:
// a 16-byte file part (FilePart) followed by one 16-byte key definition
// (KeyDefinition) per key segment.
//
//  file part                          key part (one per segment)
//  off  width  meaning                off  width  meaning
//   0    2     record length            0    2     position, counted from 1
//   2    2     page size                2    2     length
//   4    2     number of keys           4    2     flags (KeyFlag)
//   6    4     record count (stat)      6    4     unused
//  10    2     file flags              10    1     extended type (KeyType)
//  12    4     unused                  11    1     null value
//                                      12    2     unused
//                                      14    1     manual key number
//                                      15    1     ACS number
struct FilePart {
  uint16_t recordLength;
  uint16_t pageSize;
  uint16_t keyCount;
  uint32_t recordCount;
  uint16_t fileFlags;
  uint8_t unused[4];
} __attribute__((packed));
static_assert(sizeof(FilePart) == 16);

struct KeyDefinition {
  uint16_t position;  // 1-based
  uint16_t length;
  uint16_t flags;
  uint8_t unused[4];
  uint8_t type;
  uint8_t nullValue;
  uint8_t unused2[2];
  uint8_t manualKeyNumber;
  uint8_t acsNumber;
} __attribute__((packed));
static_assert(sizeof(KeyDefinition) == 16);

enum KeyFlag : uint16_t {
  kDuplicates = 0x0001,
  kModifiable = 0x0002,
  kBinary = 0x0004,
  kNullKey = 0x0008,
  kSegmented = 0x0010,  // another segment of the same key follows
  kDescending = 0x0040,
  kSupplemental = 0x0080,
  kExtendedType = 0x0100,
};

enum KeyType : uint8_t {
  kString = 0,
  kInteger = 1,          // signed little-endian, 1/2/4/8 bytes
  kZString = 11,
  kUnsignedBinary = 14,  // unsigned little-endian, 1/2/4/8 bytes
  kAutoIncrement = 15,   // 4-byte signed, filled on insert when zero
};

// The one record-manager call.
//  kOpen:    keyBuffer = path of the record file ("<dir>/<name>.<ext>", NUL-terminated)
//  kCreate:  dataBuffer = FilePart + key definitions, keyBuffer = path,
//            keyNumber 0 = overwrite an existing file, -1 = status 59 if it exists
//  kStat:    dataBuffer receives FilePart + key definitions (record count filled in),
//            dataLength in: buffer size, out: bytes written
//  kGetPosition: dataBuffer receives the 4-byte position of the current record
//  kGetDirect:   dataBuffer holds a 4-byte position on entry, the record on exit;
//                keyNumber selects the key whose order the following GetNext follows
//  kCreateSupplementalIndex: dataBuffer = the key definitions of one new key (on an open file)
// After a successful read the key of the current record is left in keyBuffer.
int Call(uint16_t op, void* positionBlock, void* dataBuffer, uint32_t* dataLength,
         void* keyBuffer, uint8_t keyLength, int8_t keyNumber);

// File-level operations; each returns a status code.
bool FileExists(const std::string& path);
int CopyFile(const std::string& from, const std::string& to);  // also into another directory; overwrites
int RenameFile(const std::string& from, const std::string& to);  // within one directory
int DeleteFile(const std::string& path);
// Removes a directory whose record files have all been deleted, with its
// records.db and any other plain files in it. kAccessDenied while it still
// holds a record file, kFileInUse while a file of it (or, for the first
// directory the connection opened, of any directory) is open,
// kTransactionActive inside a transaction, kIoError when the file system
// refuses.
int RemoveDirectory(const std::string& directory);
// Names ("sako.btr", ...) of the record files of a directory, sorted.
std::vector<std::string> ListFiles(const std::string& directory);
// A record file with its definition and records as one standalone file, and back.
int SaveFile(const std::string& path, const std::string& standalonePath);
int LoadFile(const std::string& path, const std::string& standalonePath);

// Makes a directory's records.db part of the connection now. A transaction
// covers the directories in use when it begins; one first needed after the
// transaction has written anything gives kTransactionError. Calling this
// before Begin avoids that. kFileNotFound when the directory has no records.db.
int UseDirectory(const std::string& directory);
// Keeps these directories attached for good (replacing the ones kept
// before): making room for others never detaches them, so a transaction
// can reach them after it has written. The record store keeps the data
// root and the open years of the Mandant. Missing ones are skipped.
int KeepAttached(const std::vector<std::string>& directories);

// How long a call waits for another process's lock before status 84/85
// (default 1500 ms, or TALVERA_RECMAN_BUSY_MS).
void SetBusyTimeout(int milliseconds);

// Closes every open file and the database connection (end of program, tests).
void Shutdown();

}  // namespace recman
