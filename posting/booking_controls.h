// Control ids of the entry dialog (BUCLAU, and BUCLAUKG with the same ids)
// and the result of a check on its input. The Qt-free checks name the
// control a refusal belongs to, so that every entry path can point at the
// faulty field: the dialog focuses it, a batch run or an import names it.
#pragma once

#include <string>

namespace talvera {

namespace buclau {
enum : int {
  kOk = 1,
  kEnd = 2,
  kDebitSplit = 134,
  kCreditSplit = 133,
  kFixed = 135,
  kVariable = 136,
  kDebitName = 149,
  kDebitBalance = 152,
  kCreditName = 151,
  kCreditBalance = 154,
  kBalances = 406,
  kTakeBack = 407,
  kList = 408,
  kDocumentNumber = 412,
  kText = 415,
  kGross = 416,
  kRate = 417,
  kNet = 418,
  kTax = 419,
  kTemplate = 421,
  kControlTotal = 423,
  kDebit = 599,
  kCredit = 699,
  kCurrency = 30119,
  kForeignAmount = 30128,
  kKeepDebit = 30141,
  kKeepCredit = 30142,
  kKeepDocumentNumber = 30143,
  kNewTotal = 30220,
  kCostCentre1 = 30225,
  kCostCentre2 = 30226,
  kDate = 22984,
};
}  // namespace buclau

// What a check found: passed, or refused with the message to show (0 when
// the user has been told already, e.g. by answering a question with No), its
// argument and the control to focus.
struct CheckResult {
  bool passed = true;
  int message = 0;
  int control = 0;
  std::string argument;

  static CheckResult Pass() { return {}; }
  static CheckResult Refuse(int message, int control, std::string argument = {}) {
    return {false, message, control, std::move(argument)};
  }
  explicit operator bool() const { return passed; }
};

// Shows a refusal through the message table (or only focuses its control
// when it has no message); a passed result shows nothing.
void ShowRefusal(const CheckResult& result);

}  // namespace talvera
