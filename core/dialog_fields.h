// What the field readers need of a dialog: the text of a control by its id,
// and a way to show a result in another control. The Qt dialogs implement
// it; Qt-free code and its tests see only this.
#pragma once

#include <string>
#include <string_view>

namespace talvera {

class DialogFields {
 public:
  virtual ~DialogFields() = default;
  // UTF-8 text of an edit field, or of the edit part of a combo box.
  virtual std::string FieldText(int controlId) const = 0;
  virtual void SetFieldText(int controlId, std::string_view text) = 0;
  virtual void EnableField(int controlId, bool enabled) = 0;
};

}  // namespace talvera
