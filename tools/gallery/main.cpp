// talvi-gallery OUTDIR: writes a PNG of every dialog and window of the
// program, built offscreen on a small sample Mandant, into OUTDIR, named by
// resource name. Prints one line per picture: name, width and height. Ends
// with 1 when a window could not be built or does not fit the screen.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/message.h"
#include "core/record_store.h"
#include "recman/recman.h"
#include "tools/gallery/gallery.h"
#include "widgets/icon_theme.h"
#include "widgets/translations.h"

using namespace talvera;

namespace {

// Answers every message as the user's positive button and notes it.
class NotingPresenter : public MessagePresenter {
 public:
  int Present(const MessageRequest& request) override {
    std::fprintf(stderr, "talvi-gallery: Meldung %d\n", request.number);
    bool question = request.style == BoxStyle::kQuestionYesNo ||
                    request.style == BoxStyle::kQuestionYesNoCancel;
    return question ? kIdYes : kIdOk;
  }
  void FocusControl(int) override {}
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Aufruf: talvi-gallery AUSGABEVERZEICHNIS\n");
    return 2;
  }
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  InstallGermanTranslations();
  InstallIconTheme();
  NotingPresenter presenter;
  InstallMessagePresenter(&presenter);

  QDir out(QString::fromLocal8Bit(argv[1]));
  if (!out.mkpath(".")) {
    std::fprintf(stderr, "talvi-gallery: %s läßt sich nicht anlegen\n", argv[1]);
    return 2;
  }
  QTemporaryDir root, settings;
  const char* charts = std::getenv("TALVERA_CHARTS");
  if (!gallery::PrepareSampleData(charts && *charts ? charts : TALVERA_CHARTS, root.path(),
                                  settings.path()))
    return 1;

  int result = 0;
  for (const gallery::Entry& entry : gallery::Entries()) {
    std::unique_ptr<QWidget> window(entry.build(nullptr));
    if (!window) {
      std::fprintf(stderr, "talvi-gallery: %s fehlt\n", entry.resource);
      result = 1;
      continue;
    }
    window->show();
    QApplication::processEvents();
    QPixmap picture = window->grab();
    QString file = out.filePath(QString::fromLatin1(entry.resource) + ".png");
    if (!picture.save(file, "PNG")) result = 1;
    bool fits = picture.width() <= gallery::kScreenWidth && picture.height() <= gallery::kScreenHeight;
    std::printf("%s %dx%d%s\n", entry.resource, picture.width(), picture.height(),
                fits ? "" : " ZU GROSS");
    if (!fits) result = 1;
    window->close();
  }
  CloseAll();
  recman::Shutdown();
  return result;
}
