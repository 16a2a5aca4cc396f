#include "core/mandant/mandant_directory.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>

#include "core/layouts/fista.h"
#include "core/layouts/layout.h"
#include "core/record_store.h"

namespace talvera {

namespace F = layouts::fista;

bool ListMandants(std::vector<MandantEntry>& out) {
  out.clear();
  char record[F::kLayout.recordLength];
  bool found = false;
  bool ok = GetFirstFound(record, found, MakeFileId(kSlotFista, 0));
  while (ok && found) {
    out.push_back({static_cast<int>(layouts::GetNumber(record, F::kMandantNo)),
                   layouts::GetText(record, F::kCompanyName)});
    ok = GetNextFound(record, found, MakeFileId(kSlotFista, 0));
  }
  CloseSlot(kSlotFista);
  return ok;
}

bool ReadMandantRecord(int number, void* record, bool& found) {
  std::int16_t key = static_cast<std::int16_t>(number);
  return GetEqual(record, KeyValue(&key, sizeof key), found, MakeFileId(kSlotFista, 0));
}

bool ChangeMandantRecord(int number, const std::function<bool(void* record)>& change) {
  bool wasOpen = IsSlotOpen(kSlotFista);
  bool ok = false;
  {
    StoreTransaction transaction;
    char record[F::kLayout.recordLength];
    bool found = false;
    ok = transaction.began() && OpenSlot(kSlotFista) && ReadMandantRecord(number, record, found) &&
         found && change(record) && Update(record, MakeFileId(kSlotFista, 0)) &&
         transaction.Commit();
  }
  if (!wasOpen) CloseSlot(kSlotFista);
  return ok;
}

std::string MandantYearDirectory(const std::string& year, int number) {
  return DataRoot() + "/" + year + MandantSuffixOf(number);
}

std::vector<std::string> MandantYearDirectories(int number, int firstYear, int lastYear) {
  std::vector<std::string> dirs;
  std::string suffix = MandantSuffixOf(number);
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(DataRoot(), ec)) {
    if (!entry.is_directory(ec)) continue;
    std::string name = entry.path().filename().string();
    if (name.size() != 4 + suffix.size() || name.compare(4, std::string::npos, suffix) != 0)
      continue;
    if (!std::all_of(name.begin(), name.begin() + 4,
                     [](unsigned char c) { return std::isdigit(c); }))
      continue;
    int year = std::stoi(name.substr(0, 4));
    if (year >= firstYear && year <= lastYear) dirs.push_back(entry.path().string());
  }
  std::sort(dirs.begin(), dirs.end());
  return dirs;
}

}  // namespace talvera
