// The posting journal's column heading. On the screen it is not part of the
// report: the main frame draws it in a band above the report window, so it
// stays in place while the journal scrolls.
#pragma once

#include <QFont>
#include <QRect>

class QPainter;

namespace talvera {

// True while the journal is shown and no print job is asked for or running.
bool JournalBandVisible();
// Height of the band: three and a half lines.
int JournalBandHeight(double lineHeight);
// Draws message texts 1407 (with the journal's period) and 1409 into `band`;
// false when a text is missing (the frame then shows message 52).
bool PaintJournalBand(QPainter& painter, const QRect& band, const QFont& font);

}  // namespace talvera
