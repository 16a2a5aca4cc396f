// The tax dialogs: rate maintenance ("STEANL") and the import-VAT account ("EUST").
#pragma once

#include <vector>

#include "widgets/dialog_kit.h"
#include "tax/rate_sets.h"

class QListWidgetItem;

namespace talvera {

namespace steanl {
enum : int {
  kStandardList = 101, kReducedList, kOtherList, kEcList, kReverseChargeList,
  kStandardPercent = 111, kStandardOutput, kStandardInput,
  kReducedPercent, kReducedOutput, kReducedInput,
  kOtherOutput, kOtherInput, kEcOutput, kEcInput,
  kStandardFrom = 121, kReducedFrom, kOtherFrom, kEcFrom,
  kReverseChargeFrom, kReverseChargeOutput, kReverseChargeInput,
  kNew = 131, kCreate, kUndo, kFinish,
};
}

class RateMaintenanceDialog : public TalviDialog {
  Q_OBJECT
 public:
  explicit RateMaintenanceDialog(QWidget* parent);
  void New();      // "&Neu"
  bool Create();   // "&Anlegen"
  void Undo();     // "Rück&gängig"
  const std::vector<RateSet>& pendingSets() const { return pending_; }

  void reject() override;  // closing the window writes as "&Beenden" does

 protected:
  bool Confirm() override;  // "&Beenden"

 private:
  // ecOnly: the date, the EG and the § 13b accounts alone (the first EG record).
  bool ReadInput(RateSet& set, bool ecOnly);
  void ShowInput(const RateSet& set);
  void ClearInput();
  void EnableInput(bool on);
  void FillLists();
  void ShareValidFrom(const QString& text);

  std::vector<RateSet> pending_;  // oldest first
  bool haveUndone_ = false;
  RateSet undone_;
  bool finished_ = false;
};

namespace eust {
enum : int { kList = 101, kByNumber, kByShortCode, kAccount };
}

class ImportVatAccountDialog : public TalviDialog {
  Q_OBJECT
 public:
  explicit ImportVatAccountDialog(QWidget* parent);

 protected:
  bool Confirm() override;

 private:
  void Fill();
  QListWidgetItem* Chosen() const;
};

}  // namespace talvera
