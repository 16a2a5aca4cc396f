// The work behind the frame's commands that exist so far; the others stay
// in the menu, disabled, until their part of the program is there.
#pragma once

namespace talvera {

class MainFrame;
void RegisterCommands(MainFrame& frame);

// Rate text of a rate record, for the notices to dependent applications.
bool RateTextOfRecord(int rateClass, int index, char* rateOut);

}  // namespace talvera
