// Icons from the desktop's freedesktop icon theme, with a picture of our own
// for machines without one.
#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

#include <initializer_list>

namespace talvera {

// Without a desktop that names its theme, takes the first installed of the
// themes we know (Breeze, Adwaita).
void InstallIconTheme();

// The first of `names` the theme has; otherwise a tile in `colour` with
// `abbreviation` ("GuV", "Bil") on it.
QIcon ThemeIcon(std::initializer_list<const char*> names, const QString& abbreviation,
                const QColor& colour);

}  // namespace talvera
