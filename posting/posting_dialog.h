// The entry dialog of current postings ("BUCLAU"), of closing postings and
// of tax reclassifications ("UMBUCHUNG"): one booking after another, each
// checked on "&Ok", kept pending until the next is confirmed, shown in the
// list with the bookings of the chosen month, and handed to its target.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "posting/booking_checks.h"
#include "posting/booking_target.h"
#include "posting/booking_texts.h"
#include "posting/split_booking.h"
#include "widgets/dialog_kit.h"

class QLabel;

namespace talvera {

class BookingListView;

struct PostingDialogOptions {
  PostingMode mode = PostingMode::kOrdinary;
  PostingMonth month;            // ordinary mode: the chosen posting month
  std::string user;              // whose pending booking it is
  // Where confirmed bookings go; the journal of `user` when empty.
  std::unique_ptr<BookingTarget> target;
  // Sample data for the gallery: no recovery offered, nothing read.
  bool sample = false;
  // A dialog of its own kind (the batch dialog): its resource name and
  // caption instead of the mode's.
  std::string resource, title;
  int geometry = 1;  // where its window position is kept (2: batch postings)
};

class PostingDialog : public TalviDialog {
  Q_OBJECT
 public:
  PostingDialog(QWidget* parent, PostingDialogOptions options);
  ~PostingDialog() override;

  // What opening does after the dialog is shown: a booking left by an
  // ended program is offered (posted or pending), then the month's
  // bookings are listed. False when the list could not be read.
  virtual bool Start();

  virtual bool ConfirmBooking();  // "&Ok"
  virtual bool TakeBack();        // "&Rückgängig"
  bool End();             // "Buchen-&Ende" and the window's close
  bool ShowBalances();    // "Kontens&alden..."
  void NewControlTotal(); // "&Neu"
  // An account field was left (or a template chosen): names, balances,
  // counter account, currency, cost centres and the tax proposal.
  void EvaluateAccounts();
  // The split boxes: switched on, the split dialog opens.
  void SplitToggled(SplitKind kind, bool on);
  // A template of the combo was chosen.
  void TemplateChosen(int index);

  BookingListView* list() const { return list_; }
  const char* controlTotal() const { return total_; }
  PostingMode mode() const { return mode_; }

 signals:
  void ended();

 protected:
  bool Confirm() override;  // Enter and "&Ok" confirm a booking; the dialog stays
  void reject() override;   // Esc ends like "Buchen-&Ende"
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // The message of a full list (more than 5000 entries).
  virtual int ListFullMessage() const { return 411; }
  // What "Buchen-&Ende" keeps: the document number as the Mandant's last.
  virtual void StoreOnEnd();

  BookingDraft ReadDraft() const;
  void ShowDraft(const BookingDraft& d);
  void ShowTotal();
  void Focus(int id);

  PostingMonth month_;
  std::unique_ptr<BookingTarget> target_;
  bool sample_ = false;
  BookingDraft undoInput_;          // the input a take-back replaced
  bool canRestore_ = false;
  bool listBroken_ = false;
  AmountText total_ = "000000000,00";

 private:
  void BuildControls();
  void ArrangeInOneRow();
  void SwapAccounts();
  void BuildReclassificationControls();
  void FillCombos();
  void ShowAccount(int nameId, int balanceId, const AccountDisplay& a);
  void RecomputeTax();
  void RecomputeNet();
  void ShowProposal();
  void ResetForNext(bool splitUsed);
  void EnableEntryFields(bool enable);
  void ClearSplit();
  bool StartsBooking(const char* date) const;
  bool PostPending();
  void AddPendingEntry();

  PostingMode mode_;
  int geometry_ = 1;
  bool kg_ = false;
  char sign_ = '+';
  BookingListView* list_ = nullptr;
  TaxProposal proposal_;
  bool currencyEnabled_ = false;
  bool taxTyped_ = false;
  std::vector<char> split_;         // the lines prepared by the split dialog
  std::vector<char> undoRecord_;    // the booking taken back
  bool ending_ = false;
  std::vector<BookingTemplate> templates_;
};

// The modeless current-postings dialog while it is open, else nullptr.
PostingDialog* OpenPostingDialog();

// The dialog with sample bookings, for the gallery.
QDialog* PostingDialogSample(QWidget* parent, PostingMode mode);

}  // namespace talvera
