#include "accounts/account_window_kind.h"

#include <cstdlib>

#include "core/settings.h"

namespace talvera {

const AccountWindowKind& KindOf(WindowKind kind) {
  static const AccountWindowKind kinds[] = {
      {'S', "SACHKONTEN", "Sachkonten", AccountFile::kSako, kSachkonto, 3, "SAKTONEU", "SAKTOAEN", 3091},
      {'D', "DEBITOREN", "Debitoren", AccountFile::kDebi, kDebitor, 4, "DEBINEU", "DEBIAEN", 3093},
      {'K', "KREDITOREN", "Kreditoren", AccountFile::kKred, kKreditor, 4, "KREDNEU", "KREDAEN", 3092},
      {'R', "KOSTENSTELLEN", "Kostenstellen", AccountFile::kKore, kNoAccount, 3, "KOSTNEU", "KOSTAEN", 10002},
  };
  return kinds[static_cast<int>(kind)];
}

WindowKind WindowKindOf(AccountFile file) {
  switch (file) {
    case AccountFile::kSako: return WindowKind::kSachkonten;
    case AccountFile::kDebi: return WindowKind::kDebitoren;
    case AccountFile::kKred: return WindowKind::kKreditoren;
    case AccountFile::kKore: break;
  }
  return WindowKind::kKostenstellen;
}

std::string SortOrderKey(const AccountWindowKind& kind) { return std::string("SortKnr") + kind.letter; }

std::string SelectionKey(const AccountWindowKind& kind, int mandantNumber) {
  return MandantKey(std::string("Auswahl") + kind.letter, mandantNumber);
}

std::string PositionKey(const AccountWindowKind& kind, char axis) {
  return std::string("KontoFensterPos") + kind.letter + axis;
}

std::string SizeKey(const AccountWindowKind& kind) { return std::string("KontoFensterSize") + kind.letter; }

int StoredSortOrder(const AccountWindowKind& kind) {
  std::string text = ReadSetting(SortOrderKey(kind), "0");
  int order = text.empty() || text == "J" ? 0 : std::atoi(text.c_str());
  return order >= 0 && order < kind.orders ? order : 0;
}

}  // namespace talvera
