// Shows the program's messages as Qt message boxes, owned by the active
// window, and moves the focus to the control a validation message names.
#pragma once

#include <QPointer>
#include <QWidget>

#include "core/message.h"

namespace talvera {

class QtMessagePresenter : public MessagePresenter {
 public:
  int Present(const MessageRequest& request) override;
  void FocusControl(int controlId) override;

 private:
  QPointer<QWidget> owner_;  // the window that was active when the last box opened
};

// Focuses the control with that id in `window` and selects its whole text
// when it is an edit field or an editable combo box.
void FocusControlIn(QWidget* window, int controlId);

}  // namespace talvera
