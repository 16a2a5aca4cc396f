#include "shell/start_screen.h"

#include <QDialogButtonBox>
#include <QEventLoop>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <fstream>
#include <string>

namespace talvera {
namespace {

// Available memory in KB, as the start screen reports it.
long long AvailableKilobytes() {
  std::ifstream meminfo("/proc/meminfo");
  std::string name;
  long long value;
  std::string unit;
  while (meminfo >> name >> value >> unit)
    if (name == "MemAvailable:") return value;
  return 0;
}

}  // namespace

StartScreen::StartScreen(QWidget* parent, bool about) : QDialog(parent) {
  setObjectName(about ? "TQABOUT" : "TQSTART");
  setWindowTitle(about ? "Info über TALVERA" : "TALVERA");
  if (!about) setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
  auto* layout = new QVBoxLayout(this);
  auto* name = new QLabel("TALVERA", this);
  QFont big = name->font();
  big.setPointSize(big.pointSize() * 3);
  big.setBold(true);
  name->setFont(big);
  name->setAlignment(Qt::AlignCenter);
  layout->addWidget(name);
  auto* what = new QLabel("Finanzbuchhaltung für Mandanten in Deutschland und Österreich", this);
  what->setAlignment(Qt::AlignCenter);
  layout->addWidget(what);
  if (about) {
    auto* licence = new QLabel(QString("Version %1\nLizenz: GNU General Public License, Version 3 oder neuer\n"
                                       "(GPL-3.0-or-later, siehe Datei LICENSE)")
                                   .arg(TALVERA_VERSION),
                               this);
    licence->setObjectName("licence");
    licence->setAlignment(Qt::AlignCenter);
    layout->addWidget(licence);
  }
  auto* memory = new QLabel(QString("Freier Speicherplatz : %1K").arg(AvailableKilobytes()), this);
  memory->setObjectName("id1041");
  memory->setAlignment(Qt::AlignCenter);
  layout->addWidget(memory);
  if (about) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
  }
  setMinimumSize(420, 200);
}

void StartScreen::ShowFor(double seconds) {
  show();
  if (QScreen* screen = this->screen())
    move(screen->geometry().center() - rect().center());
  QEventLoop loop;
  QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
  loop.exec();
  hide();
}

}  // namespace talvera
