#include "widgets/font_choice.h"

#include <QFontDatabase>

#include <QComboBox>
#include <QLabel>

#include "core/message.h"

namespace talvera {
namespace {

constexpr int kMessageChoose = 5;
constexpr int kMessageBadFace = 37;
constexpr int kMessageBadSize = 38;

}  // namespace

bool CheckFontChoice(const QComboBox* face, int faceId, const QComboBox* size, int sizeId,
                     SizeRule rule) {
  if (face->currentText().trimmed().isEmpty()) return ShowMessage(kMessageChoose, faceId), false;
  if (face->findText(face->currentText(), Qt::MatchFixedString) < 0)
    return ShowMessage(kMessageBadFace, faceId), false;
  bool listed = size->findText(size->currentText()) >= 0;
  if (rule == SizeRule::kListedWhenChoice) {
    if (size->currentText().trimmed().isEmpty()) return ShowMessage(kMessageChoose, sizeId), false;
    if (size->count() > 1 && !listed) return ShowMessage(kMessageBadSize, sizeId), false;
  } else if (!listed) {
    return ShowMessage(kMessageBadSize, sizeId), false;
  }
  return true;
}

void ShowFontSample(QLabel* sample, const QComboBox* face, const QComboBox* size) {
  QFont font(face->currentText());
  int points = size->currentText().toInt();
  if (points > 0) font.setPointSize(points);
  sample->setFont(font);
}

QStringList FontFamilies() {
  QStringList families;
  for (QString family : QFontDatabase::families()) {
    int foundry = family.indexOf(QLatin1String(" ["));
    if (foundry > 0) family.truncate(foundry);
    if (!families.contains(family)) families << family;
  }
  return families;
}

}  // namespace talvera
