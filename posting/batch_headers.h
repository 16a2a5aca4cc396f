// The batch headers of the open Mandant (file stapel): listing and adding.
#pragma once

#include <string>
#include <vector>

namespace talvera {

struct BatchHeader {
  int number = 0;
  std::string name;  // UTF-8
};

// Every batch header in file order; false when the store failed (reported).
bool ListBatches(std::vector<BatchHeader>& out);
// Writes a new header; the record manager gives it its number. 0 on failure.
int AddBatch(const std::string& name);

}  // namespace talvera
