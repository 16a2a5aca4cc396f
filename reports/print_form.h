// Printing the form buffer (form_buffer.h): every item at its place in
// tenths of a millimetre, shifted by the user's "FormOffX" / "FormOffY".
#pragma once

class QWidget;

namespace talvera {

// Prints TheFormBuffer(), one page per form, in the print font of kind 22
// ("Formularausdruck"). On failure or abort a warning names the form printout.
bool PrintForm(QWidget* owner);

}  // namespace talvera
