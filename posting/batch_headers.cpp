#include "posting/batch_headers.h"

#include <utility>

#include "core/layouts/stapel.h"
#include "core/record_store.h"

namespace talvera {

namespace stapel = layouts::stapel;

namespace {

BatchHeader HeaderOf(const char* record) {
  BatchHeader h;
  h.number = static_cast<int>(layouts::GetNumber(record, stapel::kBatchNo));
  h.name = layouts::GetText(record, stapel::kName);
  h.recurring = layouts::GetNumber(record, stapel::kRecurring) != 0;
  h.controlTotal = layouts::GetText(record, stapel::kReconciliationTotal);
  h.lastDocumentNumber = layouts::GetText(record, stapel::kLastVoucherNo);
  return h;
}

// Reads header `number` into record.
bool ReadHeaderRecord(int number, char* record, bool& found) {
  layouts::InitRecord(stapel::kLayout, record);
  layouts::SetNumber(record, stapel::kBatchNo, number);
  return GetEqual(record, KeyValue(record, 4), found, kSlotStapel);
}

}  // namespace

bool ListBatches(std::vector<BatchHeader>& out) {
  out.clear();
  char record[stapel::kLayout.recordLength];
  bool found = false;
  if (!GetFirstFound(record, found, kSlotStapel)) return false;
  while (found) {
    out.push_back(HeaderOf(record));
    if (!GetNextFound(record, found, kSlotStapel)) {
      CloseSlot(kSlotStapel);
      return false;
    }
  }
  CloseSlot(kSlotStapel);
  return true;
}

int AddBatch(const std::string& name, bool recurring) {
  char record[stapel::kLayout.recordLength];
  layouts::InitRecord(stapel::kLayout, record);
  layouts::SetText(record, stapel::kName, name);
  layouts::SetNumber(record, stapel::kRecurring, recurring ? 1 : 0);
  if (!Insert(record, kSlotStapel)) return 0;
  return static_cast<int>(layouts::GetNumber(record, stapel::kBatchNo));
}

bool ReadBatchHeader(int number, BatchHeader& out, bool& found) {
  char record[stapel::kLayout.recordLength];
  if (!ReadHeaderRecord(number, record, found)) return false;
  if (found) out = HeaderOf(record);
  return true;
}

bool EnsureSettlementBatches() {
  const std::pair<int, const char*> batches[] = {
      {stapel::kDebitorSettlementBatch, "OP-Ausgleich Debitoren"},
      {stapel::kKreditorSettlementBatch, "OP-Ausgleich Kreditoren"},
  };
  SlotKeptOpen open(kSlotStapel);
  if (!open.ok()) return false;
  char record[stapel::kLayout.recordLength];
  for (const auto& [number, name] : batches) {
    bool found = false;
    if (!ReadHeaderRecord(number, record, found)) return false;
    if (found) continue;
    layouts::InitRecord(stapel::kLayout, record);
    layouts::SetNumber(record, stapel::kBatchNo, number);
    layouts::SetText(record, stapel::kName, name);
    if (!Insert(record, kSlotStapel)) return false;
  }
  return true;
}

bool StoreBatchHeaderValues(int number, const char* controlTotal, const std::string& lastDocumentNumber) {
  // Open across the read and the update, which writes the record read.
  SlotKeptOpen open(kSlotStapel);
  char record[stapel::kLayout.recordLength];
  bool found = false;
  if (!open.ok() || !ReadHeaderRecord(number, record, found) || !found) return false;
  layouts::SetRawText(record, stapel::kReconciliationTotal, controlTotal);
  layouts::SetText(record, stapel::kLastVoucherNo, lastDocumentNumber);
  return Update(record, kSlotStapel);
}

}  // namespace talvera
