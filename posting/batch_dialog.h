// "BUCBAT" (and "BUCBATKG" in the KG layout): the entry dialog with a batch
// as its target. Confirmed bookings go into the batch; the batch is posted
// as a whole ("&Übernehmen") or booking by booking ("&Verbuchen"), printed
// ("&Drucken"), and any of its bookings can be taken back for correction.
// "ABORTUEBER" shows a run's progress and stops it.
#pragma once

#include "posting/batch_headers.h"
#include "posting/batch_run.h"
#include "posting/posting_dialog.h"

class QLabel;
class QProgressBar;

namespace talvera {

class BatchTarget;

namespace bucbat {
enum : int { kTakeOver = 424, kPostSelected = 425, kPrint = 426, kFont = 427 };
}

namespace abortueber {
enum : int { kCount = 101, kBar = 102 };
}

// The progress of a run: the bookings posted of how many; "Abbrechen" (or
// Esc) stops the run after the booking being posted.
class BatchRunProgressDialog : public TalviDialog, public BatchRunObserver {
  Q_OBJECT
 public:
  explicit BatchRunProgressDialog(QWidget* parent);
  void Started(int total) override;
  bool Posted(int posted) override;
  bool cancelled() const { return cancelled_; }

 protected:
  bool Confirm() override { return false; }
  void reject() override { cancelled_ = true; }

 private:
  void ShowCount(int posted);
  QProgressBar* bar_ = nullptr;
  int total_ = 0;
  bool cancelled_ = false;
};

struct BatchDialogOptions {
  BatchHeader header;
  PostingMonth month;       // the chosen posting month; none for the settlement batches
  bool mayPost = true;      // the user has the right "Verbuchen"
  bool sample = false;      // for the gallery: nothing read or written
};

class BatchPostingDialog : public PostingDialog {
  Q_OBJECT
 public:
  BatchPostingDialog(QWidget* parent, BatchDialogOptions options);

  // Lists the batch's bookings (more than 5000: message 40, and the dialog
  // takes no more confirmations).
  bool Start() override;
  // The selected booking comes back into the fields for correction; again
  // before confirming, the input before it returns and the booking stays.
  bool TakeBack() override;
  bool TakeOver();      // "&Übernehmen"
  bool PostSelected();  // "&Verbuchen"
  bool Print();         // "&Drucken"

  const BatchHeader& header() const { return header_; }

 protected:
  int ListFullMessage() const override { return 410; }
  // The header keeps the document number field and the control total.
  void StoreOnEnd() override;

 private:
  BatchTarget& batch() const;
  bool Reload();
  void UpdateButtons();
  void AddToTotal(const void* booking, bool subtract);

  BatchHeader header_;
  bool mayPost_;
};

// Opens the modeless dialog on batch `number` (the header missing: message
// 436 and nullptr). The caller shows it and calls Start().
BatchPostingDialog* MakeBatchDialog(QWidget* parent, int number, const PostingMonth& month, bool mayPost);

// Samples for the gallery.
QDialog* BatchPostingDialogSample(QWidget* parent);
QDialog* BatchRunProgressSample(QWidget* parent);

}  // namespace talvera
