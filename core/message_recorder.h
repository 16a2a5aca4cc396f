// A message presenter for tests: records every box and answers from a
// script; without a scripted answer it presses the positive button.
#pragma once

#include <deque>
#include <vector>

#include "core/message.h"

namespace talvera {

class MessageRecorder : public MessagePresenter {
 public:
  MessageRecorder() { InstallMessagePresenter(this); }
  ~MessageRecorder() override { InstallMessagePresenter(nullptr); }
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  int Present(const MessageRequest& request) override {
    shown.push_back(request);
    if (!answers.empty()) {
      int answer = answers.front();
      answers.pop_front();
      return answer;
    }
    bool question = request.style == BoxStyle::kQuestionYesNo ||
                    request.style == BoxStyle::kQuestionYesNoCancel;
    return question ? kIdYes : kIdOk;
  }
  void FocusControl(int controlId) override { focused.push_back(controlId); }

  // Numbers of the boxes shown, in order.
  std::vector<int> Numbers() const {
    std::vector<int> n;
    for (const auto& r : shown) n.push_back(r.number);
    return n;
  }
  void Clear() {
    shown.clear();
    focused.clear();
  }

  std::vector<MessageRequest> shown;
  std::vector<int> focused;
  std::deque<int> answers;
};

}  // namespace talvera
