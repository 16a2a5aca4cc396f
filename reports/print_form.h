// Printing the form buffer (form_buffer.h): every item at its place in
// tenths of a millimetre, shifted by the user's "FormOffX" / "FormOffY".
#pragma once

#include <string>

class QWidget;

namespace talvera {

// Prints TheFormBuffer(), one page per form, in the print font of kind 22
// ("Formularausdruck"). On failure or abort a warning names the form printout.
bool PrintForm(QWidget* owner);

// Writes TheFormBuffer() as a PDF file on A4, without the printer's form
// shift; false when the file cannot be written (nothing is shown).
bool PrintFormToPdf(const std::string& path, QWidget* owner);

}  // namespace talvera
