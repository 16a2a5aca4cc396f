#include "maintenance.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include "open_files.h"
#include "recman.h"

namespace recman {
namespace {

// An open file that closes itself.
class OpenFile {
 public:
  explicit OpenFile(const std::string& path) {
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    uint32_t length = 0;
    status_ = Call(kOpen, block_, nullptr, &length, name.data(), kMaxKeyLength, 0);
  }
  ~OpenFile() {
    if (status_ == kOk) {
      uint32_t length = 0;
      Call(kClose, block_, nullptr, &length, nullptr, 0, 0);
    }
  }
  int status() const { return status_; }
  int Stat(FilePart* file, std::vector<KeyDefinition>* keys) {
    std::vector<uint8_t> buffer(sizeof(FilePart) + 256 * sizeof(KeyDefinition));
    uint32_t length = uint32_t(buffer.size());
    uint8_t key[kMaxKeyLength];
    if (int status = Call(kStat, block_, buffer.data(), &length, key, kMaxKeyLength, 0))
      return status;
    memcpy(file, buffer.data(), sizeof *file);
    keys->resize((length - sizeof *file) / sizeof(KeyDefinition));
    memcpy(keys->data(), buffer.data() + sizeof *file, keys->size() * sizeof(KeyDefinition));
    return kOk;
  }
  int Get(uint16_t op, std::vector<uint8_t>* record, int keyNumber) {
    uint32_t length = uint32_t(record->size());
    return Call(op, block_, record->data(), &length, key_, kMaxKeyLength, int8_t(keyNumber));
  }
  int Insert(std::vector<uint8_t>* record) { return Get(kInsert, record, 0); }

 private:
  uint8_t block_[kPositionBlockSize] = {};
  uint8_t key_[kMaxKeyLength] = {};
  int status_;
};

const char* TypeName(const KeyDefinition& definition) {
  if (!(definition.flags & kExtendedType)) return definition.flags & kBinary ? "binär" : "Zeichen";
  switch (definition.type) {
    case kString: return "Zeichen";
    case kInteger: return "Ganzzahl";
    case kZString: return "Zeichen (NUL-terminiert)";
    case kUnsignedBinary: return "vorzeichenlos";
    case kAutoIncrement: return "Autoinkrement";
  }
  return "unbekannt";
}

std::string FlagText(const KeyDefinition& definition) {
  std::string text = definition.flags & kDuplicates ? "Duplikate" : "eindeutig";
  text += definition.flags & kModifiable ? ", änderbar" : ", nicht änderbar";
  if (definition.flags & kDescending) text += ", absteigend";
  if (definition.flags & kSupplemental) text += ", nachträglich";
  if (definition.flags & kNullKey) text += ", Nullschlüssel";
  return text;
}

void AppendKeys(const std::vector<KeyDefinition>& keys, std::string* text) {
  int keyNumber = 0;
  bool startOfKey = true;
  char line[200];
  for (const KeyDefinition& definition : keys) {
    if (startOfKey) {
      snprintf(line, sizeof line, "Schlüssel %d: %s\n", keyNumber++, FlagText(definition).c_str());
      *text += line;
    }
    snprintf(line, sizeof line, "  Segment: Position %u, Länge %u, %s%s\n", definition.position,
             definition.length, TypeName(definition), definition.flags & kDescending ? ", absteigend" : "");
    *text += line;
    startOfKey = !(definition.flags & kSegmented);
  }
}

}  // namespace

std::string StatusText(int status) {
  static const std::map<int, const char*> texts = {
      {kInvalidOperation, "Ungültige Operation"},
      {kIoError, "Datei-Fehler (Ein-/Ausgabe oder beschädigte Datei)"},
      {kFileNotOpen, "Die Datei ist nicht geöffnet"},
      {kKeyNotFound, "Schlüsselwert nicht gefunden"},
      {kDuplicateKey, "Doppelter Schlüsselwert"},
      {kInvalidKeyNumber, "Ungültige Schlüsselnummer"},
      {kDifferentKeyNumber, "Andere Schlüsselnummer"},
      {kInvalidPositioning, "Ungültige Positionierung"},
      {kEndOfFile, "Dateiende"},
      {kModifiableKeyChanged, "Nicht änderbarer Schlüssel wurde geändert"},
      {kInvalidFileName, "Ungültiger Dateiname"},
      {kFileNotFound, "Datei nicht gefunden"},
      {kDiskFull, "Datenträger voll"},
      {kDataBufferTooShort, "Datenpuffer passt nicht zur Satzlänge"},
      {kNotAFile, "Keine Datensatzdatei oder beschädigt"},
      {kDirectoryError, "Verzeichnis nicht gefunden"},
      {kTransactionError, "Transaktionsfehler"},
      {kAccessDenied, "Zugriff verweigert"},
      {kFileExists, "Datei existiert bereits"},
      {kConflict, "Datensatz wurde von einem anderen Platz aus geändert"},
      {kRecordInUse, "Datensatz wird von einem anderen Platz aus benutzt"},
      {kFileInUse, "Datei wird von einem anderen Platz aus benutzt"},
  };
  auto found = texts.find(status);
  std::string text = found != texts.end() ? found->second : "Fehler";
  return text + " (Status " + std::to_string(status) + ")";
}

int DescribeFile(const std::string& path, std::string* text) {
  OpenFile file(path);
  if (file.status()) return file.status();
  FilePart definition;
  std::vector<KeyDefinition> keys;
  if (int status = file.Stat(&definition, &keys)) return status;
  char line[200];
  snprintf(line, sizeof line,
           "Datei:        %s\nSatzlänge:    %u\nSeitengröße:  %u\nSätze:        %u\n"
           "Schlüssel:    %u\n",
           path.c_str(), definition.recordLength, definition.pageSize, definition.recordCount, definition.keyCount);
  *text = line;
  AppendKeys(keys, text);
  return kOk;
}

int ForEachRecord(const std::string& path, int keyNumber,
                  const std::function<void(const uint8_t*, size_t)>& visit) {
  OpenFile file(path);
  if (file.status()) return file.status();
  FilePart definition;
  std::vector<KeyDefinition> keys;
  if (int status = file.Stat(&definition, &keys)) return status;
  if (keyNumber < 0 || keyNumber >= definition.keyCount) return kInvalidKeyNumber;
  std::vector<uint8_t> record(definition.recordLength);
  int status = file.Get(kGetFirst, &record, keyNumber);
  while (status == kOk) {
    visit(record.data(), record.size());
    status = file.Get(kGetNext, &record, keyNumber);
  }
  return status == kEndOfFile ? kOk : status;
}

std::string FormatRecord(const uint8_t* record, size_t length) {
  std::string line;
  char hex[8];
  for (size_t i = 0; i < length; ++i) {
    uint8_t c = record[i];
    if (c == '\\') {
      line += "\\\\";
    } else if (c == 0) {
      line += "\\0";
    } else if (c >= 0x20 && c < 0x7f) {
      line += char(c);
    } else if (c >= 0xa0) {  // Windows-1252 agrees with Latin-1 here
      line += char(0xc0 | (c >> 6));
      line += char(0x80 | (c & 0x3f));
    } else {
      snprintf(hex, sizeof hex, "\\x%02X", c);
      line += hex;
    }
  }
  return line;
}

int SaveFlat(const std::string& path, const std::string& flatPath, uint64_t* count) {
  std::ofstream out(flatPath, std::ios::binary | std::ios::trunc);
  if (!out) return kIoError;
  *count = 0;
  int status = ForEachRecord(path, 0, [&](const uint8_t* record, size_t length) {
    out.write(reinterpret_cast<const char*>(record), std::streamsize(length));
    ++*count;
  });
  out.close();
  if (status == kOk && !out) return kIoError;
  return status;
}

int LoadFlat(const std::string& path, const std::string& flatPath, uint64_t* count) {
  *count = 0;
  std::ifstream in(flatPath, std::ios::binary);
  if (!in) return kFileNotFound;
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  OpenFile file(path);
  if (file.status()) return file.status();
  FilePart definition;
  std::vector<KeyDefinition> keys;
  if (int status = file.Stat(&definition, &keys)) return status;
  if (bytes.size() % definition.recordLength) return kDataBufferTooShort;
  uint32_t none = 0;
  if (int status = Call(kBeginTransaction, nullptr, nullptr, &none, nullptr, 0, 0)) return status;
  std::vector<uint8_t> record(definition.recordLength);
  for (size_t at = 0; at < bytes.size(); at += record.size()) {
    memcpy(record.data(), bytes.data() + at, record.size());
    if (int status = file.Insert(&record)) {
      Call(kAbortTransaction, nullptr, nullptr, &none, nullptr, 0, 0);
      *count = 0;
      return status;
    }
    ++*count;
  }
  return Call(kEndTransaction, nullptr, nullptr, &none, nullptr, 0, 0);
}

}  // namespace recman

namespace recman {
namespace {

std::string Hex(const std::string& bytes) {
  std::string text;
  char digits[4];
  for (unsigned char c : bytes) {
    snprintf(digits, sizeof digits, "%02X", c);
    text += digits;
  }
  return text;
}

// Runs a query and hands each row's text columns to `row`.
void EachRow(sqlite3* db, const std::string& sql, std::vector<std::string>* problems,
             const std::function<void(sqlite3_stmt*)>& row) {
  sqlite3_stmt* query = nullptr;
  int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &query, nullptr);
  while (rc == SQLITE_OK && (rc = sqlite3_step(query)) == SQLITE_ROW) {
    row(query);
    rc = SQLITE_OK;
  }
  if (rc != SQLITE_OK && rc != SQLITE_DONE) problems->push_back(std::string("SQLite: ") + sqlite3_errmsg(db));
  sqlite3_finalize(query);
}

std::string TextOf(sqlite3_stmt* query, int column) {
  const unsigned char* text = sqlite3_column_text(query, column);
  return text ? reinterpret_cast<const char*>(text) : "";
}

// SQLite's own check of the whole records.db: every table and index of
// the directory, not only this file's.
void CheckIntegrity(sqlite3* db, const FileState& file, std::vector<std::string>* problems) {
  EachRow(db, "PRAGMA " + file.schema + ".integrity_check", problems, [&](sqlite3_stmt* q) {
    std::string line = TextOf(q, 0);
    if (line != "ok") problems->push_back("SQLite: " + line);
  });
}

// Every key of the file definition has its index, unique where the key is;
// the directory's database holds no trigger or view (nothing may act on
// the records behind the record manager's back).
void CheckSchemaObjects(sqlite3* db, const FileState& file, std::vector<std::string>* problems) {
  std::string table = "r" + std::to_string(file.table);
  std::map<std::string, bool> indexes;  // name -> unique
  EachRow(db, "PRAGMA " + file.schema + ".index_list(" + Quote(table) + ")", problems,
          [&](sqlite3_stmt* q) { indexes[TextOf(q, 1)] = sqlite3_column_int(q, 2) != 0; });
  for (size_t k = 0; k < file.layout.keys.size(); ++k) {
    auto found = indexes.find(table + "_k" + std::to_string(k));
    std::string key = "Schlüssel " + std::to_string(k);
    if (found == indexes.end())
      problems->push_back(key + ": der Index fehlt");
    else if (file.layout.keys[k].unique && !found->second)
      problems->push_back(key + ": der Index ist nicht eindeutig, der Schlüssel aber schon");
  }
  EachRow(db,
          "SELECT type, name FROM " + file.schema +
              ".sqlite_schema WHERE type IN ('trigger', 'view') ORDER BY name",
          problems, [&](sqlite3_stmt* q) {
            std::string what = TextOf(q, 0) == "trigger" ? "Trigger" : "Sicht (View)";
            problems->push_back(what + " " + TextOf(q, 1) + " gehört nicht in die Datenbank");
          });
}

// Recomputes every key of every record and compares it with the stored one.
int CheckKeys(sqlite3* db, const FileState& file, std::vector<std::string>* problems) {
  std::string columns = "id, data";
  for (size_t k = 0; k < file.layout.keys.size(); ++k) columns += ", k" + std::to_string(k);
  std::string sql = "SELECT " + columns + " FROM " + file.qualified + " ORDER BY id";
  sqlite3_stmt* query = nullptr;
  int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &query, nullptr);
  std::string computed;
  while (rc == SQLITE_OK && (rc = sqlite3_step(query)) == SQLITE_ROW) {
    rc = SQLITE_OK;
    std::string where = "Satz an Position " + std::to_string(sqlite3_column_int64(query, 0));
    if (sqlite3_column_bytes(query, 1) != file.layout.recordLength) {
      problems->push_back(where + ": Länge " + std::to_string(sqlite3_column_bytes(query, 1)) +
                          " statt " + std::to_string(file.layout.recordLength));
      continue;
    }
    const auto* record = static_cast<const uint8_t*>(sqlite3_column_blob(query, 1));
    for (size_t k = 0; k < file.layout.keys.size(); ++k) {
      EncodeFromRecord(file.layout.keys[k], record, &computed);
      const char* blob = static_cast<const char*>(sqlite3_column_blob(query, int(k) + 2));
      std::string stored(blob ? blob : "", size_t(sqlite3_column_bytes(query, int(k) + 2)));
      if (stored != computed)
        problems->push_back(where + ": Schlüssel " + std::to_string(k) + " gespeichert " +
                            Hex(stored) + ", aus dem Satz " + Hex(computed));
    }
  }
  sqlite3_finalize(query);
  return rc == SQLITE_DONE ? kOk : StatusOf(rc, true);
}

}  // namespace

int CheckFile(const std::string& path, std::vector<std::string>* problems) {
  std::lock_guard<std::mutex> lock(RecmanMutex());
  try {
    std::string directory, name;
    if (int status = SplitPath(path, &directory, &name)) return status;
    Database& db = Database::Instance();
    FileState* file = nullptr;
    if (int status = db.ExistingFile(directory, name, &file)) return status;
    CheckIntegrity(db.Handle(), *file, problems);
    CheckSchemaObjects(db.Handle(), *file, problems);
    return CheckKeys(db.Handle(), *file, problems);
  } catch (...) {
    return kIoError;
  }
}

}  // namespace recman
