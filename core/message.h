// The one message function of the program. Every text the user sees in a
// message box is a numbered entry of the message table; the number also
// fixes the box's buttons and icon, so a question is asked by showing a
// question message and testing the result.
//
// How a box is shown is up to the installed presenter: a Qt message box in
// the program, a recorder with scripted answers in tests. Without a
// presenter, messages go to standard error and count as answered with OK.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace talvera {

enum class BoxStyle {
  kInfoOk,
  kInfoOkCancel,
  kExclamationOk,
  kExclamationOkCancel,
  kQuestionYesNo,
  kQuestionYesNoCancel,
  kStopOk,
  kSystemModalOk,
};

// Raw button results, as the last message result keeps them.
enum BoxResult { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

inline constexpr char kProductName[] = "TALVERA";

struct MessageRequest {
  int number = 0;       // 0 for boxes that are not from the table
  std::string text;     // UTF-8, formatted, with the pending suffix
  std::string title;
  BoxStyle style = BoxStyle::kInfoOk;
  int controlId = 0;    // control to focus afterwards, 0 for none
};

class MessagePresenter {
 public:
  virtual ~MessagePresenter() = default;
  // Shows the box and returns the raw button result.
  virtual int Present(const MessageRequest& request) = 0;
  // Focuses the control of the active window and selects its text.
  virtual void FocusControl(int controlId) = 0;
};

// Installs the presenter (not owned); nullptr restores the fallback.
void InstallMessagePresenter(MessagePresenter* presenter);

// Shows message `number`; true when the user pressed OK or Yes. With a
// control id, that control of the active window gets the focus afterwards.
bool ShowMessage(int number, int controlId = 0);
bool ShowMessage(int number, int controlId, std::string_view argument);
bool ShowMessage(int number, int controlId, long long argument);
// For the messages 200..212, which always take an argument.
bool ShowArgumentMessage(int number, int controlId, std::string_view argument);
// A box with its own text and title (the record manager's low-level reports).
bool ShowTextBox(std::string_view text, std::string_view title, BoxStyle style);

// A text appended to the next message shown, then cleared.
void SetPendingSuffix(std::string suffix);
// The raw result of the last box (kIdCancel while a box is being prepared).
int LastMessageResult();
void FocusControl(int controlId);

// The table: text and style of a message number.
std::optional<std::string> MessageText(int number);
BoxStyle MessageStyle(int number);
BoxStyle ArgumentMessageStyle(int number);
// Every number the table holds, ascending.
const int* MessageNumbers(int* count);

}  // namespace talvera
