// Windows of the gallery that need more than their constructor.
#pragma once

class QWidget;

namespace talvera::gallery {

QWidget* SampleFrame();                   // the main frame with a report shown
QWidget* SampleHelp(QWidget* parent);     // the help window on its contents
QWidget* SampleCopyRights(QWidget* parent);  // copying Anna's rights

}  // namespace talvera::gallery
