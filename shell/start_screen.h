// The start screen: shown while the program starts, for a little over two
// seconds; the same dialog serves as the about box.
#pragma once

#include <QDialog>

namespace talvera {

class StartScreen : public QDialog {
  Q_OBJECT
 public:
  // about: with an OK button, as the about box.
  StartScreen(QWidget* parent, bool about);
  // Shows the screen and keeps the event loop running until `seconds` passed.
  void ShowFor(double seconds);
};

}  // namespace talvera
