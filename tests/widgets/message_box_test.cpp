#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "widgets/dialog_kit.h"
#include "widgets/message_box.h"

using namespace talvera;

namespace {

// Presses `button` on the next message box that opens and remembers its look.
struct BoxAnswer {
  QMessageBox::StandardButton button;
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;

  void Arm() {
    QTimer::singleShot(0, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      title = box->windowTitle();
      text = box->text();
      icon = box->icon();
      buttons = box->standardButtons();
      box->button(button)->click();
    });
  }
};

TEST(QtMessagePresenter, ButtonsIconsAndRawResults) {
  QtMessagePresenter presenter;
  InstallMessagePresenter(&presenter);
  struct Case {
    int number;
    QMessageBox::StandardButton press;
    bool result;
    int raw;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
  };
  const Case cases[] = {
      {16, QMessageBox::No, false, kIdNo, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No},
      {21, QMessageBox::Cancel, false, kIdCancel, QMessageBox::Question,
       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel},
      {21, QMessageBox::Yes, true, kIdYes, QMessageBox::Question,
       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel},
      {3, QMessageBox::Ok, true, kIdOk, QMessageBox::Warning, QMessageBox::Ok},
      {85, QMessageBox::Ok, true, kIdOk, QMessageBox::Information, QMessageBox::Ok},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    BoxAnswer answer;
    answer.button = c.press;
    answer.Arm();
    EXPECT_EQ(ShowMessage(c.number), c.result);
    EXPECT_EQ(LastMessageResult(), c.raw);
    EXPECT_EQ(answer.title, "TALVERA");
    EXPECT_EQ(answer.icon, c.icon);
    EXPECT_EQ(answer.buttons, c.buttons);
  }
  InstallMessagePresenter(nullptr);
}

TEST(QtMessagePresenter, ValidationMessageFocusesAndSelectsTheField) {
  QtMessagePresenter presenter;
  InstallMessagePresenter(&presenter);
  QDialog dialog;
  auto* other = new QLineEdit("erstes", &dialog);
  auto* field = new QLineEdit("falsch", &dialog);
  field->setObjectName(ControlName(105));
  other->move(0, 40);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  other->setFocus();
  BoxAnswer answer;
  answer.button = QMessageBox::Ok;
  answer.Arm();
  ShowMessage(22, 105);
  EXPECT_EQ(dialog.focusWidget(), field);
  EXPECT_EQ(field->selectedText(), "falsch");
  InstallMessagePresenter(nullptr);
}

}  // namespace
