// The dialogs of the account lists: "KTOSAL" (trial balance), "ABSCHLUSS"
// (main closing overview), "KTOPLAN" (chart of accounts), "BUCJOU"
// (posting journal) and "BUCLISTE" (posting list). The first four build a
// report for the shell to show or print (RunEvaluation); the posting list
// shows its bookings in its own list and prints them itself.
#pragma once

#include <vector>

#include "posting/booking_search_dialog.h"
#include "reports/evaluation_dialog.h"

namespace talvera {

namespace ktosal {
enum : int { kDate = 160, kWithUnposted = 359 };
}

class KtoSalDialog : public EvaluationDialog {
  Q_OBJECT
 public:
  explicit KtoSalDialog(QWidget* parent);

 protected:
  bool Confirm() override;
};

namespace abschluss {
enum : int { kYear = 161, kAssets = 371, kLiabilities = 372, kProfitAndLoss = 373 };
}

class AbschlussDialog : public EvaluationDialog {
  Q_OBJECT
 public:
  explicit AbschlussDialog(QWidget* parent);

 protected:
  bool Confirm() override;
};

namespace ktoplan {
enum : int { kWithAddresses = 359 };
}

class KtoPlanDialog : public EvaluationDialog {
  Q_OBJECT
 public:
  explicit KtoPlanDialog(QWidget* parent);

 protected:
  bool Confirm() override;
};

namespace bucjou {
enum : int { kByPostingDate = 187, kByDocumentDate = 188 };
}

class BucJouDialog : public EvaluationDialog {
  Q_OBJECT
 public:
  explicit BucJouDialog(QWidget* parent);

 protected:
  bool Confirm() override;
};

namespace bucliste {
using namespace booking_search;
enum : int {
  kFont = 109,   // "Schri&ft..."
  kPrint = 110,  // "&Drucken"
};
}

class BucListeDialog : public BookingSearchDialog {
  Q_OBJECT
 public:
  explicit BucListeDialog(QWidget* parent);

  // "&Drucken": prints the listed bookings as a journal (kind 14).
  bool PrintBookings();

 protected:
  // "Be&enden" closes; the dialog has no OK.
  bool Confirm() override { return true; }
  // The heading of the printed list names the selection.
  void SelectionRead(const JournalFilter& filter) override;

 private:
  std::vector<std::string> heading_;  // the centred lines the printed list starts with
};

// The dialogs filled with sample values, for the gallery of dialogs.
namespace gallery {
QDialog* SampleKtoSalDialog(QWidget* parent);
QDialog* SampleAbschlussDialog(QWidget* parent);
QDialog* SampleKtoPlanDialog(QWidget* parent);
QDialog* SampleBucJouDialog(QWidget* parent);
QDialog* SampleBucListeDialog(QWidget* parent);
}  // namespace gallery

}  // namespace talvera
