// What every command of talvi-cli shares: the messages of the program on
// standard error, the data root found as the program finds it, and the
// Mandant opened for work without a screen.
#pragma once

#include <string>
#include <vector>

#include "core/message.h"

namespace talvera::cli {

// Exit statuses: done; refused by the books (a booking, a finding, a
// report that cannot be made); the call itself is wrong or cannot run.
enum ExitStatus : int { kExitOk = 0, kExitRefused = 1, kExitUsage = 2 };

// Messages of the program go to standard error as "talvi-cli: <text>". A
// question is answered with "Nein": nobody is there to say yes. While a
// capture is set, messages are kept there instead of being printed.
class CliPresenter : public MessagePresenter {
 public:
  CliPresenter() { InstallMessagePresenter(this); }
  ~CliPresenter() override { InstallMessagePresenter(nullptr); }
  CliPresenter(const CliPresenter&) = delete;
  CliPresenter& operator=(const CliPresenter&) = delete;

  int Present(const MessageRequest& request) override;
  void FocusControl(int) override {}

  void Capture(std::vector<MessageRequest>* into) { capture_ = into; }
  // Messages printed so far (captured ones do not count).
  int printed() const { return printed_; }

 private:
  std::vector<MessageRequest>* capture_ = nullptr;
  int printed_ = 0;
};

// Keeps the messages shown during its life; prints nothing of them.
class MessageCapture {
 public:
  explicit MessageCapture(CliPresenter& presenter) : presenter_(presenter) { presenter_.Capture(&shown_); }
  ~MessageCapture() { presenter_.Capture(nullptr); }
  // The texts shown, joined by blanks; empty when none.
  std::string Text() const;
  bool empty() const { return shown_.empty(); }
  // Whether message `number` of the table was among them.
  bool Shows(int number) const {
    for (const MessageRequest& r : shown_)
      if (r.number == number) return true;
    return false;
  }

 private:
  CliPresenter& presenter_;
  std::vector<MessageRequest> shown_;
};

// Writes a line to standard error with the program's name in front.
void Say(const std::string& text);

// The data root named by "Pfad" in TALVI.INI of the settings directory
// ($TALVERA_WINDIR, else $XDG_CONFIG_HOME/talvera): read, set, checked.
// False with a German reason.
bool OpenDataRoot(std::string& error);

// Opens Mandant `number` of the data root for work: its values, settings
// and the files of its current year, with the rates kept in memory.
// A Mandant protected by a password is not opened: the command line has
// no way to ask for it. False with a German reason (messages of the
// program have been shown).
bool OpenCliMandant(int number, std::string& error);

// Ends the work: files closed, the record manager shut down.
void CloseCliMandant();

}  // namespace talvera::cli
