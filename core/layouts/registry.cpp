// Which layout a file or a record-store slot has.
#include <algorithm>
#include <cctype>

#include "core/layouts/layouts.h"
#include "core/record_store.h"

namespace talvera::layouts {
namespace {

constexpr const Layout* kAll[] = {
    &fista::kLayout,  &sako::kLayout,   &personal::kLayout, &kore::kLayout,
    &bube::kLayout,   &steke::kLayout,  &structure::kLayout, &bat::kLayout,
    &stapel::kLayout, &open_item::kLayout, &ueberw::kLayout, &bank::kLayout,
    &kurse::kLayout,  &butext::kLayout, &buscha::kLayout,  &user::kLayout,
    &bankiban::kLayout,
};

// "/data/1996/sako.bt3" -> "sako", lower case.
std::string FileStem(std::string_view path) {
  std::size_t slash = path.find_last_of("/\\");
  if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
  std::size_t dot = path.find('.');
  if (dot != std::string_view::npos) path = path.substr(0, dot);
  std::string stem(path);
  for (char& c : stem) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return stem;
}

}  // namespace

std::span<const Layout* const> AllLayouts() { return kAll; }

const Layout* LayoutForFileName(std::string_view path) {
  std::string stem = FileStem(path);
  for (const Layout* layout : kAll)
    for (const char* file : layout->files)
      if (stem == file) return layout;
  return nullptr;
}

const Layout* LayoutForFile(std::string_view path, int recordLength) {
  if (const Layout* byName = LayoutForFileName(path)) return byName;
  const Layout* found = nullptr;
  for (const Layout* layout : kAll) {
    if (layout->recordLength != recordLength) continue;
    if (found) return nullptr;  // several layouts share this length
    found = layout;
  }
  return found;
}

const Layout* LayoutForSlot(int slot) {
  switch (slot) {
    case kSlotSako:
    case kSlotSakoPrevious: return &sako::kLayout;
    case kSlotBube: return &bube::kLayout;
    case kSlotKred:
    case kSlotDebi: return &personal::kLayout;
    case kSlotSteke: return &steke::kLayout;
    case kSlotFista: return &fista::kLayout;
    case kSlotGuvauf:
    case kSlotBilaktau:
    case kSlotBilpasau: return &structure::kLayout;
    case kSlotKore: return &kore::kLayout;
    case kSlotBat: return &bat::kLayout;
    case kSlotBank: return &bank::kLayout;
    case kSlotUeberw: return &ueberw::kLayout;
    case kSlotOpkred:
    case kSlotOpdebi: return &open_item::kLayout;
    case kSlotStapel: return &stapel::kLayout;
    case kSlotKurse: return &kurse::kLayout;
    case kSlotButext: return &butext::kLayout;
    case kSlotBuscha: return &buscha::kLayout;
    case kSlotUser: return &user::kLayout;
    case kSlotBankIban: return &bankiban::kLayout;
    default: return nullptr;
  }
}

}  // namespace talvera::layouts
