// The open-item files (of the current year) kept open until a posting's
// transaction ends; closed again afterwards unless the caller had them open.
// A previous-year posting opens them before its transaction begins: the
// transaction then write-locks both years at once (in path order, as every
// process does), and nothing of the current year is first opened after the
// posting has written.
#pragma once

#include "core/record_store.h"

namespace talvera {

class OpenItemFiles {
 public:
  explicit OpenItemFiles(bool openNow) {
    for (int i = 0; i < 2; ++i) {
      wasOpen_[i] = IsSlotOpen(kSlots[i]);
      if (openNow) OpenSlot(kSlots[i]);
    }
  }
  ~OpenItemFiles() {
    for (int i = 0; i < 2; ++i)
      if (!wasOpen_[i]) CloseSlot(kSlots[i]);
  }
  OpenItemFiles(const OpenItemFiles&) = delete;
  OpenItemFiles& operator=(const OpenItemFiles&) = delete;

 private:
  static constexpr int kSlots[2] = {kSlotOpdebi, kSlotOpkred};
  bool wasOpen_[2] = {};
};

}  // namespace talvera
