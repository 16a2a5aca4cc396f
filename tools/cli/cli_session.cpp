#include "tools/cli/cli_session.h"

#include <cstdio>

#include "accounts/currency_rates.h"
#include "core/mandant/data_conversion.h"
#include "core/mandant/load_mandant.h"
#include "core/mandant/mandant_directory.h"
#include "core/mandant_values.h"
#include "core/profile.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "posting/booking_currency.h"
#include "recman/recman.h"
#include "tax/tax_rates.h"

namespace talvera::cli {

int CliPresenter::Present(const MessageRequest& request) {
  if (capture_) capture_->push_back(request);
  else {
    Say(request.text);
    ++printed_;
  }
  bool question = request.style == BoxStyle::kQuestionYesNo || request.style == BoxStyle::kQuestionYesNoCancel;
  if (question) return kIdNo;
  bool cancellable = request.style == BoxStyle::kInfoOkCancel || request.style == BoxStyle::kExclamationOkCancel;
  return cancellable ? kIdCancel : kIdOk;
}

std::string MessageCapture::Text() const {
  std::string text;
  for (const MessageRequest& r : shown_) {
    if (!text.empty()) text += ' ';
    text += r.text;
  }
  for (char& c : text)
    if (c == '\n') c = ' ';
  return text;
}

void Say(const std::string& text) { std::fprintf(stderr, "talvi-cli: %s\n", text.c_str()); }

bool OpenDataRoot(std::string& error) {
  ReadSettings();
  std::string root = CurrentSettings().pfad;
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  if (root.empty()) {
    error = TalviIniPath() + " nennt keinen Datenpfad (Schlüssel \"Pfad\" im Abschnitt [TALVI]). "
            "Starten Sie einmal scripts/run.sh oder setzen Sie TALVERA_WINDIR.";
    return false;
  }
  SetDataRoot(root);
  if (!StartRecordManager()) {
    error = "Der Datenpfad " + root + " existiert nicht.";
    return false;
  }
  return true;
}

bool OpenCliMandant(int number, std::string& error) {
  if (!ConvertMasterFile()) {
    error = "Die Mandantendatei im Datenpfad " + DataRoot() + " kann nicht gelesen werden.";
    return false;
  }
  std::vector<char> record(998);
  bool found = false;
  if (!ReadMandantRecord(number, record.data(), found) || !found) {
    error = "Den Mandanten " + std::to_string(number) + " gibt es im Datenpfad " + DataRoot() + " nicht.";
    return false;
  }
  InstallDataVersionCheck();
  InstallRateLoading();
  InstallCurrencyRateLoading();
  SetHomeAmountConverter([](const std::string& currency, const char* date, const char* foreign, char* home) {
    RateEntry rate;
    return RequireRate(currency.c_str(), date, rate) && ConvertAmount(rate, foreign, home);
  });
  if (!LoadMandant(number)) {
    error = "Der Mandant " + std::to_string(number) + " kann nicht geladen werden.";
    return false;
  }
  const MandantValues& m = CurrentMandant();
  if (m.passwordOn || m.accessPassword[0] != '\0') {
    error = "Der Mandant " + std::to_string(number) +
            " ist durch ein Kennwort geschützt; talvi-cli kann ihn nicht öffnen.";
    return false;
  }
  if (!OpenMainFiles()) {
    error = "Die Dateien des Mandanten " + std::to_string(number) + " können nicht geöffnet werden.";
    return false;
  }
  return true;
}

void CloseCliMandant() {
  CloseAll();
  recman::Shutdown();
}

}  // namespace talvera::cli
