// The batch headers of the open Mandant (file stapel): listing, adding,
// reading one, and what the batch dialog keeps in its header.
#pragma once

#include <string>
#include <vector>

namespace talvera {

struct BatchHeader {
  int number = 0;
  std::string name;                // UTF-8
  bool recurring = false;          // bookings stay and move on by one period
  std::string controlTotal;        // amount text as stored; empty when none
  std::string lastDocumentNumber;  // as stored; empty when none
};

// Every batch header in file order; false when the store failed (reported).
bool ListBatches(std::vector<BatchHeader>& out);
// Writes a new header; the record manager gives it its number. 0 on failure.
int AddBatch(const std::string& name, bool recurring = false);

// The header of batch `number`; found = false when there is none.
bool ReadBatchHeader(int number, BatchHeader& out, bool& found);
// Makes sure the settlement batches exist: 14 "OP-Ausgleich Debitoren",
// which a new file lacks until it is first needed, and 15 "OP-Ausgleich
// Kreditoren".
bool EnsureSettlementBatches();
// Keeps the control total (an amount text) and the last document number in
// the header, as the batch dialog leaves them.
bool StoreBatchHeaderValues(int number, const char* controlTotal, const std::string& lastDocumentNumber);

}  // namespace talvera
