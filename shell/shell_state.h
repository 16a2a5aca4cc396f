// The shell's state for the whole process: who is logged in to which
// Mandant, what is open, and what the enabling rules of the commands look at.
#pragma once

#include <string>

#include "shell/command_table.h"

namespace talvera {

struct ShellState {
  int currentMandant = 0;        // 0 while none is open
  std::string userName;
  std::string firmName;
  std::string fiscalYear;        // "1996"
  bool databaseOpen = false;
  bool dataChanged = false;
  bool postingDialogOpen = false;
  bool archiveOpen = false;
  bool evaluationsUnlocked = false;
  unsigned rights = 0;
  long helpContext = 0;
  int reportKind = 0;
  bool accountWindowsVisible = true;
};

ShellState& CurrentShell();

// "TALVERA" alone while no Mandant is open, else
// "TALVERA - <user> - <firm> ( <fiscal year> )".
std::string WindowTitle(const ShellState& state);
CommandContext ContextOf(const ShellState& state);

// Help context a command sets: its id, 4001 for choosing a batch, 3059 for
// every structure editor; some commands leave it unchanged (false).
bool HelpContextOf(int commandId, long& context);

// Checks before the frame is built: the data root ("Pfad", message 60), the
// record manager (513) and the free space on the data drive (75). Reads the
// settings. False when the program must end.
bool PrepareStart();

}  // namespace talvera
