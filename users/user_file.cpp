#include "users/user_file.h"

#include <cstdint>

#include "core/layouts/fista.h"
#include "core/layouts/layout.h"
#include "core/layouts/scramble.h"
#include "core/layouts/user.h"
#include "core/mandant/mandant_directory.h"
#include "core/message.h"
#include "core/record_store.h"

namespace talvera {
namespace {

namespace U = layouts::user;

constexpr int kMessageChangedElsewhere = 3180;
const FileId kById = MakeFileId(kSlotUser, 0);
const FileId kByName = MakeFileId(kSlotUser, 1);

UserRecord FromRecord(const char* record) {
  UserRecord u;
  u.id = layouts::GetNumber(record, U::kId);
  u.name = layouts::GetText(record, U::kName);
  u.rights = static_cast<unsigned>(layouts::GetNumber(record, U::kRights));
  u.password = layouts::GetPassword(record, U::kPassword);
  return u;
}

bool ToRecord(const UserRecord& u, char* record) {
  layouts::SetText(record, U::kName, u.name);
  layouts::SetNumber(record, U::kRights, static_cast<long>(u.rights));
  return layouts::SetPassword(record, U::kPassword, u.password);
}

bool ReadById(long id, char* record, bool& found) {
  std::int32_t key = static_cast<std::int32_t>(id);
  return GetEqual(record, KeyValue(&key, sizeof key), found, kById);
}

}  // namespace

bool OpenUserFile(int mandant) {
  char master[layouts::fista::kLayout.recordLength];
  bool found = false;
  if (!ReadMandantRecord(mandant, master, found)) return false;
  if (!found) {
    ShowMessage(80);
    return false;
  }
  std::string year = layouts::GetText(master, layouts::fista::kCurrentYear);
  return OpenPath(MandantYearDirectory(year, mandant) + "/user.btr", kSlotUser);
}

void CloseUserFile() { CloseSlot(kSlotUser); }

bool ListUsers(std::vector<UserRecord>& out) {
  out.clear();
  char record[U::kLayout.recordLength];
  bool found = false;
  bool ok = GetFirstFound(record, found, kByName);
  while (ok && found) {
    out.push_back(FromRecord(record));
    ok = GetNextFound(record, found, kByName);
  }
  return ok;
}

bool FindUser(const std::string& name, UserRecord& out, bool& found) {
  char record[U::kLayout.recordLength] = {};
  layouts::SetText(record, U::kName, name);
  if (!GetEqual(record, KeyValue(layouts::FieldBytes(record, U::kName), U::kName.width), found,
                kByName))
    return false;
  if (found) out = FromRecord(record);
  return true;
}

bool UserFileEmpty(bool& empty) {
  long count = RecordCount(kSlotUser);
  empty = count == 0;
  return count >= 0;
}

bool InsertUser(UserRecord& user) {
  char record[U::kLayout.recordLength];
  layouts::InitRecord(U::kLayout, record);
  if (!ToRecord(user, record)) return false;
  if (!Insert(record, kById)) return false;
  user.id = layouts::GetNumber(record, U::kId);
  return true;
}

bool UpdateUser(const UserRecord& user) {
  StoreTransaction transaction;
  char record[U::kLayout.recordLength];
  bool found = false;
  if (!transaction.began() || !ReadById(user.id, record, found)) return false;
  if (!found) {
    ShowMessage(kMessageChangedElsewhere);
    return false;
  }
  return ToRecord(user, record) && Update(record, kById) && transaction.Commit();
}

bool DeleteUser(long id) {
  StoreTransaction transaction;
  char record[U::kLayout.recordLength];
  bool found = false;
  if (!transaction.began() || !ReadById(id, record, found)) return false;
  if (!found) {
    ShowMessage(kMessageChangedElsewhere);
    return false;
  }
  return Delete(kSlotUser) && transaction.Commit();
}

}  // namespace talvera
