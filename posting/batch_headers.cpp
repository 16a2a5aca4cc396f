#include "posting/batch_headers.h"

#include "core/layouts/stapel.h"
#include "core/record_store.h"

namespace talvera {

namespace stapel = layouts::stapel;

bool ListBatches(std::vector<BatchHeader>& out) {
  out.clear();
  char record[stapel::kLayout.recordLength];
  bool found = false;
  if (!GetFirstFound(record, found, kSlotStapel)) return false;
  while (found) {
    out.push_back({static_cast<int>(layouts::GetNumber(record, stapel::kBatchNo)),
                   layouts::GetText(record, stapel::kName)});
    if (!GetNextFound(record, found, kSlotStapel)) {
      CloseSlot(kSlotStapel);
      return false;
    }
  }
  CloseSlot(kSlotStapel);
  return true;
}

int AddBatch(const std::string& name) {
  char record[stapel::kLayout.recordLength];
  layouts::InitRecord(stapel::kLayout, record);
  layouts::SetText(record, stapel::kName, name);
  if (!Insert(record, kSlotStapel)) return 0;
  return static_cast<int>(layouts::GetNumber(record, stapel::kBatchNo));
}

}  // namespace talvera
