// The printer: the "Drucker" setting (see printer_setting.h), else the
// WIN.INI default printer, else the CUPS default queue. The print font of a
// report kind is selected here and its metrics published for report builders
// (CurrentPrinterMetrics).
#pragma once

#include <QFont>

#include <string>

class QPrinter;

namespace talvera {

// Creates the printer anew from the settings; nullptr when there is none.
QPrinter* OpenPrinter();
// The printer opened last (nullptr when none).
QPrinter* CurrentPrinter();
// A readable name of the current printer for dialogs ("" when none).
std::string CurrentPrinterName();

// Chooses and keeps the print font of `kind`. Without a configured face and
// size the largest height from 9.5 pt down to 5 pt that fits the kind's width
// on a line is taken; false when none does or there is no printer. Sets
// CurrentPrinterMetrics(). `ownWidth` is the width of a report that sets
// its own (0: the kind's).
bool SelectPrintFont(int kind, int ownWidth = 0);
// Tries a face and size for `kind` without keeping it; the printer line
// width in characters, 0 without printer. A configured size of n points
// prints at n + 0.5 points (n × 20 + 10 twips) on every printer here, since
// all of them scale fonts.
int TryPrintFont(const std::string& face, int size);
// The print font selected last.
const QFont& PrintFont();
// The same font as a new object that shares nothing with PrintFont(), for a
// painter in another thread (Qt's fonts are not shared across threads).
QFont UnsharedPrintFont();

// Default face of printed reports when none is configured.
QString DefaultPrintFace();

}  // namespace talvera
