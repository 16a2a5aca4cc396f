// Opening postings: the notice "BUCEROMSG" that they stay out of the profit
// and loss account, then "BUCERO", where entries are typed one after
// another. As in the posting dialog, a confirmed entry stays pending (it can
// be taken back) and is posted when the next one is confirmed or the dialog
// ends; a pending entry left by an ended program is offered again.
#pragma once

#include <string>

#include "posting/opening_posting.h"
#include "posting/pending_booking.h"
#include "widgets/dialog_kit.h"

namespace talvera {

namespace buceromsg {
enum : int { kContinue = 1, kCancel = 2 };  // "&Weiter...", "&Abbrechen"
}

class OpeningNoticeDialog : public TalviDialog {
  Q_OBJECT
 public:
  explicit OpeningNoticeDialog(QWidget* parent);

 protected:
  bool Confirm() override { return true; }
};

namespace bucero {
enum : int {
  kOk = 1,
  kEnd = 2,            // "&Beenden"
  kDate = 101,         // "B&eldat :"
  kAccount = 102,      // "K&nr.:"
  kAccountName = 103,  // the account's name (display)
  kDebit = 104,        // "Soll": the account's side
  kCredit = 105,       // "Haben"
  kAmount = 106,       // "Ne&ttobetrag"
  kText = 107,         // "Buchungste&xt"
  kList = 108,
  kTakeBack = 109,     // "&Rückgängig"
};
}  // namespace bucero

class OpeningPostingDialog : public TalviDialog {
  Q_OBJECT
 public:
  // `user` is whose pending entry it is.
  OpeningPostingDialog(QWidget* parent, std::string user);
  ~OpeningPostingDialog() override;

  // After the dialog is shown: an entry left pending by an ended program
  // is offered (message 922).
  void Start();
  bool ConfirmEntry();  // "&Ok"
  bool TakeBack();      // "&Rückgängig"
  bool End();           // "&Beenden", Esc and the window's close
  bool HasPending() const { return pending_.has(); }

 protected:
  bool Confirm() override;
  void reject() override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool ReadEntry(OpeningEntry& out);
  bool PostPending();
  void AddPendingLine();
  void ShowEntry(const OpeningEntry& e);
  void ShowAccountName();

  PendingBooking pending_;
  bool ending_ = false;
};

// The dialog with sample entries, for the gallery.
QDialog* OpeningPostingDialogSample(QWidget* parent);

}  // namespace talvera
