// Windows of the gallery that need more than their constructor.
#pragma once

#include "accounts/account_window_kind.h"

class QWidget;

namespace talvera::gallery {

QWidget* SampleFrame();                   // the main frame with a report shown
QWidget* SampleHelp(QWidget* parent);     // the help window on its contents
QWidget* SampleCopyRights(QWidget* parent);  // copying Anna's rights
// The change dialog of a kind on one of the sample Mandant's accounts.
QWidget* SampleAccountDialog(QWidget* parent, WindowKind kind, const char* number);
// The budget figures of 8400 developed from 1.000,00 by 2 % a month.
QWidget* SampleBudgetDialog(QWidget* parent);

}  // namespace talvera::gallery
