// Pressing a button by its mnemonic (Alt + letter) in a dialog test: the
// button first shows itself pressed and clicks only when it comes up, so
// the test waits for that before it goes on.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QWidget>

namespace talvera::testing {

inline void PressMnemonic(Qt::Key key) {
  QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
  auto down = [] {
    for (QWidget* w : QApplication::allWidgets())
      if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->isDown()) return true;
    return false;
  };
  for (int i = 0; i < 400 && down(); ++i) QTest::qWait(5);
}

}  // namespace talvera::testing
