// The currency administration (KURSE): exchange rates per currency and
// date, daily or as the average rate of a month.
#pragma once

#include <string>
#include <vector>

#include "accounts/currency_admin.h"
#include "widgets/dialog_kit.h"

namespace talvera {

class CurrencyDialog : public TalviDialog {
  Q_OBJECT
 public:
  // With a currency and a date (DDPPYY, from a posting that lacks its rate)
  // both are preset and the dialog closes once the rate was added. Without
  // `readStore` the rate table is neither shown nor reloaded (sample).
  CurrencyDialog(QWidget* parent, const std::string& currency = {}, const std::string& date = {},
                 bool readStore = true);

  // The buttons, for the program and its tests alike.
  bool New();     // "&Neu"
  bool Remove();  // "&Löschen"
  void ShowRatesOf(const QString& currency);
  void ShowRates(const std::vector<RateEntry>& rates);

  void done(int result) override;  // every way out reloads the rate table

 protected:
  bool Confirm() override;  // "&Beenden"

 private:
  std::vector<RateEntry> shown_;
  bool closeAfterAdd_ = false;
  bool readStore_ = true;
};

// The command: single use; while one is open it comes to the front.
void RunCurrencyAdministration(QWidget* parent, const std::string& currency = {},
                               const std::string& date = {});
// Lets RequireRate open the currency administration for a missing rate.
void InstallRateEntryDialog();

// The dialog filled with sample rates, without a Mandant (for the gallery).
CurrencyDialog* BuildCurrencySample(QWidget* parent);

}  // namespace talvera
