// The work behind the frame's commands that exist so far; the others stay
// in the menu, disabled, until their part of the program is there.
#pragma once

namespace talvera {

class HelpViewer;
class MainFrame;
void RegisterCommands(MainFrame& frame);
// The posting dialogs: current postings, closing postings, reclassifications.
void RegisterPostingCommands(MainFrame& frame);
// The account windows (F5 to F8, F4 hides and shows them) and the deletion.
void RegisterAccountCommands(MainFrame& frame);
// Foreign amounts of bookings are converted at the rates of the open Mandant.
void InstallCurrencyConversion();
// The help menu: index and help on help.
void RegisterHelpCommands(MainFrame& frame, HelpViewer& help);

// Copies who is logged in to which Mandant into the shell state, after a
// Mandant was opened or the users changed.
void SyncShellWithMandant();

// Start-up work on the data: the master file's layout, the seams of the
// Mandant and user code, and loading the only Mandant when there is one.
void PrepareMandants();

// Opens the configured printer as the program starts; message 53 when there
// is none (the program runs on, printing waits for a printer).
void OpenPrinterAtStart();

// F2 prints the list box that has the focus, in every dialog; the page
// header names the open Mandant's firm (no Mandant: message 524).
void InstallListPrinting();

// Starts the word processor of the setting "Textverarbeitung"; when this
// machine has no such program ("WRITE"), the desktop's editor for text
// files (xdg-open) on Notizen.txt in the settings directory. A failure to
// start is not reported.
bool StartTextProcessor();

// Rate text of a rate record, for the notices to dependent applications.
bool RateTextOfRecord(int rateClass, int index, char* rateOut);

}  // namespace talvera
