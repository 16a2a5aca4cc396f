// Dialog controls as a map from id to text, for the field readers' tests.
#pragma once

#include <map>
#include <string>

#include "core/dialog_fields.h"

namespace talvera::testing {

class FakeDialog : public DialogFields {
 public:
  std::string FieldText(int id) const override {
    auto it = text.find(id);
    return it == text.end() ? "" : it->second;
  }
  void SetFieldText(int id, std::string_view t) override { text[id] = std::string(t); }
  void EnableField(int id, bool on) override { enabled[id] = on; }
  std::map<int, std::string> text;
  std::map<int, bool> enabled;
};

}  // namespace talvera::testing
