#include "accounts/currency_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>

#include <cstring>

#include "core/message.h"
#include "core/settings.h"

namespace talvera {
namespace {

using namespace kursverw;

constexpr int kMessageChooseRate = 424;

QPointer<CurrencyDialog>& OpenDialog() {
  static QPointer<CurrencyDialog> open;
  return open;
}

void OpenForMissingRate(const char* currency, const char* date) {
  RunCurrencyAdministration(QApplication::activeWindow(), currency, date);
}

}  // namespace

CurrencyDialog::CurrencyDialog(QWidget* parent, const std::string& currency, const std::string& date,
                               bool readStore)
    : TalviDialog(parent, "KURSE", "Fremdwährungsverwaltung"), readStore_(readStore) {
  QComboBox* currencies = AddCombo(kCurrency, "&Währung :", true);
  currencies->lineEdit()->setMaxLength(4);
  currencies->setInsertPolicy(QComboBox::NoInsert);
  for (const std::string& code : CurrencyChoices()) currencies->addItem(QString::fromStdString(code));
  currencies->setCurrentIndex(-1);
  AddCheck(kAverage, "Durch&schnittskurs");
  AddEdit(kDate, "&Datum :", 10);
  AddEdit(kRate, "&Kurs :", 12);
  QComboBox* units = AddCombo(kUnits, "&Einheitenanzahl :", false);
  for (int n : kUnitChoices) units->addItem(QString::number(n));
  QString home = QString::fromStdString(CurrentSettings().waehrung);
  auto* meaning = new QLabel(
      QString("Der Kurs ist der Betrag in %1, den die Einheitenanzahl der Fremdwährung wert ist: "
              "Kurs 0,62 bei Einheitenanzahl 100 heißt 100 JPY = 0,62 %1.")
          .arg(home),
      this);
  meaning->setWordWrap(true);
  form_->addRow(meaning);
  AddList(kList, "Kurse:", {{"Datum", 10}, {"Kurs", 12, true}, {"Einheiten", 9, true}, {"Art", 17}});

  auto* buttons = new QHBoxLayout;
  struct Button {
    int id;
    const char* text;
  };
  for (Button b : {Button{kNew, "&Neu"}, Button{kDelete, "&Löschen"}, Button{kFinish, "&Beenden"}})
    buttons->addWidget(Register(b.id, new QPushButton(b.text, this)));
  outer_->addLayout(buttons);
  auto button = [this](int id) { return qobject_cast<QPushButton*>(Control(id)); };
  connect(button(kNew), &QPushButton::clicked, this, [this] { New(); });
  connect(button(kDelete), &QPushButton::clicked, this, [this] { Remove(); });
  connect(button(kFinish), &QPushButton::clicked, this, [this] { accept(); });
  connect(currencies, &QComboBox::currentTextChanged, this, [this](const QString& text) { ShowRatesOf(text); });

  if (!currency.empty()) {
    currencies->setCurrentText(QString::fromStdString(currency));
    char shown[11] = "";
    if (!date.empty()) FormatDate(date.c_str(), shown, true);
    Edit(kDate)->setText(shown);
    closeAfterAdd_ = true;
    Edit(kRate)->setFocus();
  }
}

void CurrencyDialog::ShowRatesOf(const QString& currency) {
  if (!readStore_) return;
  ShowRates(RatesOf(CurrencyCodeOf(currency.toStdString())));
}

void CurrencyDialog::ShowRates(const std::vector<RateEntry>& rates) {
  shown_ = rates;
  std::vector<std::string> lines;
  for (const RateEntry& r : shown_) lines.push_back(RateLine(r));
  FillList(List(kList), lines, true);
}

bool CurrencyDialog::New() {
  RateEntry added;
  if (!AddRate(*this, Checked(kAverage), added)) return false;
  if (closeAfterAdd_) {
    accept();
    return true;
  }
  QComboBox* currencies = Combo(kCurrency);
  if (currencies->findText(added.currency) < 0) currencies->addItem(added.currency);
  currencies->setCurrentText(added.currency);
  ShowRatesOf(added.currency);
  Edit(kRate)->clear();
  return true;
}

bool CurrencyDialog::Remove() {
  QListWidget* list = List(kList);
  int row = list->currentRow();
  if (row < 0 || row >= static_cast<int>(shown_.size()) || !list->item(row)->isSelected()) {
    ShowMessage(kMessageChooseRate, kList);
    return false;
  }
  if (!DeleteRate(shown_[row])) return false;
  ShowRatesOf(Combo(kCurrency)->currentText());
  return true;
}

bool CurrencyDialog::Confirm() { return true; }

void CurrencyDialog::done(int result) {
  // Rebuilt from the file, so the table is exactly what kurse holds.
  if (readStore_) CurrentRateTable().Load();
  TalviDialog::done(result);
}

void RunCurrencyAdministration(QWidget* parent, const std::string& currency, const std::string& date) {
  QPointer<CurrencyDialog>& open = OpenDialog();
  if (open) {
    open->raise();
    open->activateWindow();
    return;
  }
  CurrencyDialog dialog(parent, currency, date);
  open = &dialog;
  dialog.exec();
  open = nullptr;
}

void InstallRateEntryDialog() { SetRateEntryOpener(OpenForMissingRate); }

CurrencyDialog* BuildCurrencySample(QWidget* parent) {
  auto* dialog = new CurrencyDialog(parent, {}, {}, false);
  RateEntry daily;
  std::strcpy(daily.currency, "USD");
  std::strcpy(daily.date, "150316");
  std::strcpy(daily.rate, "000000001,47");
  RateEntry average = daily;
  std::strcpy(average.date, "010316");
  std::strcpy(average.rate, "000000001,45");
  average.average = true;
  dialog->Combo(kursverw::kCurrency)->setCurrentText("USD");
  dialog->ShowRates({average, daily});
  return dialog;
}

}  // namespace talvera
