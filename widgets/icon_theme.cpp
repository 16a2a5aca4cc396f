#include "widgets/icon_theme.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QStandardPaths>

namespace talvera {
namespace {

bool ThemeInstalled(const QString& name) {
  for (const QString& path : QIcon::themeSearchPaths())
    if (QFileInfo::exists(QDir(path).filePath(name + "/index.theme"))) return true;
  return false;
}

QPixmap Tile(const QString& abbreviation, const QColor& colour, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(colour.darker(130));
  painter.setBrush(colour);
  painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 6.0, size / 6.0);
  QFont font;
  font.setPixelSize(std::max(6, size * 2 / static_cast<int>(abbreviation.size() + 2)));
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(pixmap.rect(), Qt::AlignCenter, abbreviation);
  return pixmap;
}

}  // namespace

void InstallIconTheme() {
  // Some platforms (offscreen, bare X servers) look only into Qt's resources.
  QStringList paths = QIcon::themeSearchPaths();
  for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
    QString icons = QDir(data).filePath("icons");
    if (!paths.contains(icons) && QFileInfo(icons).isDir()) paths << icons;
  }
  QIcon::setThemeSearchPaths(paths);
  QString current = QIcon::themeName();
  if (!current.isEmpty() && current != QLatin1String("hicolor")) return;
  for (const char* theme : {"breeze", "Adwaita"}) {
    if (ThemeInstalled(theme)) {
      QIcon::setThemeName(theme);
      return;
    }
  }
}

QIcon ThemeIcon(std::initializer_list<const char*> names, const QString& abbreviation,
                const QColor& colour) {
  for (const char* name : names)
    if (QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48}) icon.addPixmap(Tile(abbreviation, colour, size));
  return icon;
}

}  // namespace talvera
