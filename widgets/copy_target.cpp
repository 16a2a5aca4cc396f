#include "widgets/copy_target.h"

#include <QEvent>
#include <QLineEdit>
#include <QPointer>

namespace talvera {
namespace {

QPointer<QLineEdit>& Target() {
  static QPointer<QLineEdit> target;
  return target;
}

// Registers its field as the target when the field gets the focus.
class FocusTracker : public QObject {
 public:
  explicit FocusTracker(QLineEdit* field) : QObject(field) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusIn) RegisterCopyTarget(static_cast<QLineEdit*>(watched));
    return false;
  }
};

}  // namespace

void TrackCopyTarget(QLineEdit* field) {
  if (field) field->installEventFilter(new FocusTracker(field));
}

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
