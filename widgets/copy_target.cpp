#include "widgets/copy_target.h"

#include <QLineEdit>
#include <QPointer>

namespace talvera {
namespace {

QPointer<QLineEdit>& Target() {
  static QPointer<QLineEdit> target;
  return target;
}

}  // namespace

void RegisterCopyTarget(QLineEdit* field) { Target() = field; }

void UnregisterCopyTarget(QLineEdit* field) {
  if (Target() == field) Target() = nullptr;
}

QLineEdit* CopyTarget() { return Target().data(); }

bool CopyToTarget(const QString& account) {
  QLineEdit* field = Target().data();
  if (!field || !field->isEnabled() || !field->isVisible()) return false;
  QWidget* dialog = field->window();
  dialog->raise();
  dialog->activateWindow();
  field->setText(account.trimmed());
  field->setModified(true);
  field->setFocus();
  field->selectAll();
  return true;
}

}  // namespace talvera
