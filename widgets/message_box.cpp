#include "widgets/message_box.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>

#include "widgets/dialog_kit.h"

namespace talvera {
namespace {

struct StyleLook {
  QMessageBox::Icon icon;
  QMessageBox::StandardButtons buttons;
};

StyleLook LookOf(BoxStyle style) {
  switch (style) {
    case BoxStyle::kInfoOk: return {QMessageBox::Information, QMessageBox::Ok};
    case BoxStyle::kInfoOkCancel:
      return {QMessageBox::Information, QMessageBox::Ok | QMessageBox::Cancel};
    case BoxStyle::kExclamationOk: return {QMessageBox::Warning, QMessageBox::Ok};
    case BoxStyle::kExclamationOkCancel:
      return {QMessageBox::Warning, QMessageBox::Ok | QMessageBox::Cancel};
    case BoxStyle::kQuestionYesNo:
      return {QMessageBox::Question, QMessageBox::Yes | QMessageBox::No};
    case BoxStyle::kQuestionYesNoCancel:
      return {QMessageBox::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel};
    case BoxStyle::kStopOk: return {QMessageBox::Critical, QMessageBox::Ok};
    case BoxStyle::kSystemModalOk: return {QMessageBox::Critical, QMessageBox::Ok};
  }
  return {QMessageBox::Information, QMessageBox::Ok};
}

int RawResult(int button) {
  switch (button) {
    case QMessageBox::Ok: return kIdOk;
    case QMessageBox::Yes: return kIdYes;
    case QMessageBox::No: return kIdNo;
    default: return kIdCancel;
  }
}

}  // namespace

int QtMessagePresenter::Present(const MessageRequest& request) {
  StyleLook look = LookOf(request.style);
  owner_ = QApplication::activeWindow();
  QMessageBox box(look.icon, QString::fromStdString(request.title),
                  QString::fromStdString(request.text), look.buttons, owner_);
  if (request.style == BoxStyle::kSystemModalOk) box.setWindowModality(Qt::ApplicationModal);
  QApplication::setOverrideCursor(Qt::ArrowCursor);
  int result = RawResult(box.exec());
  QApplication::restoreOverrideCursor();
  return result;
}

void QtMessagePresenter::FocusControl(int controlId) {
  QWidget* window = QApplication::activeWindow();
  FocusControlIn(window ? window : owner_.data(), controlId);
}

void FocusControlIn(QWidget* window, int controlId) {
  if (!window) return;
  QWidget* control = window->findChild<QWidget*>(ControlName(controlId));
  if (!control) return;
  control->setFocus(Qt::OtherFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->selectAll();
  if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit())
    combo->lineEdit()->selectAll();
}

}  // namespace talvera
