// What the font dialogs share: checking the chosen face and size against
// their lists, and showing a sample in the chosen font.
#pragma once

#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;

namespace talvera {

enum class SizeRule {
  kListed,            // the size must be one of the list
  kListedWhenChoice,  // an empty size is refused; it must be listed only when the list offers a choice
};

// Message 5 without a face, 37 for a face not in its list, then the size by
// `rule` (message 5 for an empty size, 38 for one not listed). The control
// at fault gets the focus.
bool CheckFontChoice(const QComboBox* face, int faceId, const QComboBox* size, int sizeId,
                     SizeRule rule);

// The installed font families, each once: a family several foundries ship
// ("C059 [UKWN]", "C059 [urw]") is listed by its name alone.
QStringList FontFamilies();

// Shows the sample in the face and point size of the two lists.
void ShowFontSample(QLabel* sample, const QComboBox* face, const QComboBox* size);

}  // namespace talvera
