#include "widgets/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace talvera {

bool InstallGermanTranslations() {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  static QTranslator* installed = nullptr;
  if (installed) return true;
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (!translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  installed = translator;
  return true;
}

}  // namespace talvera
