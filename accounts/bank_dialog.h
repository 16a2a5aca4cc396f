// The bank administration (BANKENVERW): the Mandant's bank accounts with
// bank code, account number, bank name, IBAN, BIC and the batch that
// receives their imported postings.
#pragma once

#include <string>
#include <vector>

#include "accounts/bank_connections.h"
#include "posting/batch_headers.h"
#include "widgets/dialog_kit.h"

namespace talvera {

class BankAdministrationDialog : public TalviDialog {
  Q_OBJECT
 public:
  // With `presetAccount` (from a new Sachkonto) that account is typed in and
  // the dialog closes after the first successful save. Without `readStore`
  // the list stays empty until ShowConnections fills it.
  explicit BankAdministrationDialog(QWidget* parent, const std::string& presetAccount = {},
                                    bool readStore = true);

  // The buttons, for the program and its tests alike.
  bool Create();  // "&Anlegen"
  bool Change();  // "Än&dern"
  bool Remove();  // "&Löschen"
  void ChooseBatch();  // "&Stapel..."
  void SelectLine(int row);

  // Shows connections and batches without reading the store (the list and
  // the batch choice as the program fills them).
  void ShowConnections(const std::vector<BankConnection>& banks, const std::vector<BatchHeader>& batches);

 protected:
  bool Confirm() override;  // "&Beenden"

 private:
  bool Save(bool change);
  void Reload();
  void ClearInput();
  void FillBatchChoice(int select);
  int ChosenBatch() const;
  std::string BatchName(int number) const;
  std::string SelectedAccount() const;

  std::vector<BankConnection> banks_;
  std::vector<BatchHeader> batches_;
  bool closeAfterSave_ = false;
};

// The command: single use; while one is open, message 719 and the open one
// comes to the front.
void RunBankAdministration(QWidget* parent, const std::string& presetAccount = {});

// The dialog filled with sample data, without a Mandant (for the gallery).
BankAdministrationDialog* BuildBankAdministrationSample(QWidget* parent);

}  // namespace talvera
