// Reads built chart templates back through the record store, into the
// same rows the builder starts from, so the rules can be checked on the
// files a Mandant is created from.
#pragma once

#include <string>
#include <vector>

#include "core/structure_file.h"
#include "tools/chart_builder/chart_source.h"

namespace talvera::testing {

using TreeRecord = StructureRecord;

struct TemplateContents {
  std::vector<charts::AccountRow> accounts;
  std::vector<charts::RateRow> rates;
  std::vector<TreeRecord> trees[charts::kTreeCount];
};

// False when a file cannot be opened or read.
bool ReadTemplate(const std::string& directory, char letter, TemplateContents& out);

// Every record of a file opened by path, in key-0 order.
bool ReadAllRecords(const std::string& path, int length, std::vector<std::vector<char>>& out);

}  // namespace talvera::testing
