// talvi: the accounting program.
#include <QApplication>
#include <QScreen>
#include <QTimer>

#include "accounts/account_store.h"
#include "core/mandant_values.h"
#include "core/today.h"
#include "posting/posting_engine.h"
#include "shell/balance_server.h"
#include "shell/frame_commands.h"
#include "shell/help_viewer.h"
#include "shell/main_frame.h"
#include "widgets/message_box.h"
#include "widgets/icon_theme.h"
#include "widgets/translations.h"
#include "shell/notices.h"
#include "shell/notifier.h"
#include "shell/shell_state.h"
#include "shell/start_screen.h"
#include "tax/tax_rates.h"

using namespace talvera;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setApplicationName("TALVERA");
  InstallGermanTranslations();
  InstallIconTheme();
  QtMessagePresenter presenter;
  InstallMessagePresenter(&presenter);
  ResetDayToday();

  StartScreen start(nullptr, false);
  start.show();
  if (!PrepareStart()) return 1;
  PrepareMandants();
  InstallCurrencyConversion();
  StartNotifier();
  SetBookingListener([](const void* booking) {
    NotifyBooking(booking, CurrentMandant().number, RateTextOfRecord);
  });
  SetAccountNoticeListener([](int operation, AccountFile file, const void* record) {
    int mandant = CurrentMandant().number;
    if (file == AccountFile::kSako)
      NotifySachkonto(operation, record, mandant);
    else
      NotifyPersonalAccount(operation, file == AccountFile::kKred ? kNoticeKreditor : kNoticeDebitor,
                            record, mandant);
  });
  start.ShowFor(2.2);

  MainFrame frame;
  RegisterCommands(frame);
  OpenPrinterAtStart();
  InstallListPrinting();
  // Balances for other programs; a second running talvi leaves the name to the first.
  BalanceServer balances(QStringLiteral("TALVI"), &frame);
  if (balances.Start()) AddBalanceChangeListener(&BalanceServer::NotifyBalanceChange);
  HelpViewer help({}, &frame);
  RegisterHelpCommands(frame, help);
  auto* keys = new KeyboardFilter(&frame, [&help](long context) { help.ShowTopic(context); });
  app.installEventFilter(keys);
  // Without a window manager "maximised" means nothing: take the screen first.
  if (QScreen* screen = QGuiApplication::primaryScreen()) frame.setGeometry(screen->availableGeometry());
  frame.showMaximized();
  // Choosing the Mandant opens the Mandant administration.
  QTimer::singleShot(0, &frame, [&frame] { frame.RunCommand(3052); });
  int result = app.exec();
  help.Quit();
  balances.Stop();
  StopNotifier();
  return result;
}
