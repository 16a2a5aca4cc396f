// The command table: every menu command of the main frame with its place in
// the menu, its shortcut and its enabling rule. Menu, toolbar, accelerators
// and status-bar prompts (message text of the command id) are built from
// this one table.
#pragma once

#include <cstdint>
#include <span>

namespace talvera {

// Conditions of an enabling rule; all given ones must hold.
enum CommandRule : unsigned {
  kNoPostingDialog = 1,  // P: no posting dialog is open
  kNoArchive = 2,        // A: no archive year is open
  kEvaluations = 4,      // E: evaluations are unlocked
  kNeedsReport = 8,      // a report is shown
  kNeedsArchive = 16,    // an archive year is open
};

// User rights, bit n named by message 4000 + n.
enum UserRight : unsigned {
  kRightAdministration = 1u << 0,
  kRightVerbuchen = 1u << 1,
  kRightBuchungenErfassen = 1u << 2,
  kRightJahreswechsel = 1u << 3,
  kRightKontenVerwalten = 1u << 4,
  kRightAuswerten = 1u << 5,
  kRightOpsMahnen = 1u << 6,
  kRightSteuersaetze = 1u << 7,
  kRightKrAuswerten = 1u << 8,
  kRightDatenExportieren = 1u << 9,
  kRightSichern = 1u << 10,
  kRightHolen = 1u << 11,
};

struct CommandInfo {
  int id;
  const char* menu;      // top-level menu ("Datei")
  const char* submenu;   // "" or the submenu ("Einstellungen")
  const char* text;      // entry text with its & mnemonic
  const char* shortcut;  // Qt key sequence text, "" for none
  unsigned rules;        // CommandRule bits
  unsigned rights;       // every one of these rights is needed
  unsigned anyRight;     // one of these rights is needed (0: none)
  bool changesData;      // sets the data-changed flag
  int reportKind;        // report kind of an evaluation, -1 for none
};

// In menu order.
std::span<const CommandInfo> Commands();
const CommandInfo* FindCommand(int id);
// Top-level menus in order; the posting dialog greys 0, 2 and 4 to 8.
std::span<const char* const> TopMenus();
// Commands that begin a group of their menu: a separator stands before them
// (before their submenu when they open one).
std::span<const int> MenuGroupStarts();
// Toolbar: command ids, 0 for a gap.
std::span<const int> ToolbarCommands();

// What an enabling rule looks at.
struct CommandContext {
  bool postingDialogOpen = false;
  bool archiveOpen = false;
  bool evaluationsUnlocked = false;
  bool reportShown = false;
  unsigned rights = 0;
};
bool CommandAllowed(const CommandInfo& command, const CommandContext& context);

}  // namespace talvera
