// Users, rights and passwords: the login and its flags, the user
// administration's rules, the password dialogs; dialogs driven by id.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

#include <filesystem>

#include "core/layouts/create_file.h"
#include "core/layouts/fista.h"
#include "core/layouts/layout.h"
#include "core/layouts/scramble.h"
#include "core/layouts/user.h"
#include "core/mandant/data_conversion.h"
#include "core/mandant/load_mandant.h"
#include "core/mandant/mandant_directory.h"
#include "core/mandant/mandant_seams.h"
#include "core/mandant/open_mandant.h"
#include "core/mandant_values.h"
#include "core/message_recorder.h"
#include "core/record_store.h"
#include "recman/recman.h"
#include "support/temp_dir.h"
#include "users/login.h"
#include "users/login_state.h"
#include "users/passwords.h"
#include "users/rights.h"
#include "users/users_dialogs.h"

using namespace talvera;

namespace {

namespace F = layouts::fista;

class UsersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDataRoot(data_.path());
    ASSERT_TRUE(ConvertMasterFile());
    char record[F::kLayout.recordLength];
    layouts::InitRecord(F::kLayout, record);
    layouts::SetNumber(record, F::kMandantNo, 1);
    layouts::SetText(record, F::kCompanyName, "Firma");
    layouts::SetText(record, F::kCurrentYear, "1996");
    ASSERT_TRUE(Insert(record, MakeFileId(kSlotFista, 0)));
    std::filesystem::create_directories(data_ / "1996");
    ASSERT_TRUE(layouts::CreateFile(data_ / "1996", "user"));
    ASSERT_TRUE(LoadMandant(1));
    CurrentLogin() = LoginState{};
  }
  void TearDown() override {
    CloseAll();
    SetMandantSeams({});
    recman::Shutdown();
  }
  // Adds users straight to the file.
  void AddUser(const char* name, unsigned rights, const char* password = "") {
    ASSERT_TRUE(OpenUserFile(1));
    UserRecord u;
    u.name = name;
    u.rights = rights;
    u.password = password;
    ASSERT_TRUE(InsertUser(u));
    CloseUserFile();
  }
  std::vector<UserRecord> Users() {
    std::vector<UserRecord> users;
    EXPECT_TRUE(OpenUserFile(1));
    EXPECT_TRUE(ListUsers(users));
    CloseUserFile();
    return users;
  }
  // Answers the next modal dialog by typing into its fields and pressing OK.
  static void AnswerNextDialog(std::vector<std::pair<int, QString>> fields) {
    QTimer::singleShot(0, [fields] {
      auto* d = qobject_cast<TalviDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(d, nullptr);
      for (const auto& [id, text] : fields) d->Edit(id)->setText(text);
      d->accept();
      if (d->isVisible()) d->reject();  // refused entry: give up
    });
  }

  talvera::testing::TempSettingsDir settings_;
  talvera::testing::TempDir data_;
  MessageRecorder messages_;
};

// ---- Login -------------------------------------------------------------------

TEST_F(UsersTest, FirstLoginCreatesAUserWithEveryRight) {
  AnswerNextDialog({{benutzerlogin::kName, "Anna"}});
  ASSERT_TRUE(Login(nullptr, 1, kLoginMakeCurrent));
  std::vector<UserRecord> users = Users();
  ASSERT_EQ(users.size(), 1u);
  EXPECT_EQ(users[0].name, "Anna");
  EXPECT_EQ(users[0].rights, 8191u);
  EXPECT_EQ(users[0].password, "");
  EXPECT_EQ(CurrentLogin().userName, "Anna");
  EXPECT_TRUE(CurrentLogin().evaluationsUnlocked);
  // Known now: the next login passes without a dialog.
  EXPECT_TRUE(Login(nullptr, 1, kLoginMakeCurrent));
  EXPECT_TRUE(messages_.Numbers().empty());
}

TEST_F(UsersTest, PostingBringsEnteringPostings) {
  struct Row {
    unsigned stored, active;
  };
  for (Row r : {Row{kRightPost, kRightPost | kRightEnterPostings},
                Row{kRightEnterPostings, kRightEnterPostings},
                Row{kRightAdministration, kRightAdministration}})
    EXPECT_EQ(ActiveRights(r.stored), r.active) << r.stored;
  AddUser("Bert", kRightPost);
  ASSERT_EQ(BeginLogin(1, kLoginMakeCurrent), LoginStart::kAsk);
  EXPECT_EQ(CheckLoginEntry(kLoginMakeCurrent, "Bert", ""), LoginEntry::kPassed);
  EndLogin();
  EXPECT_EQ(CurrentLogin().rights, kRightPost | kRightEnterPostings);
  EXPECT_FALSE(CurrentLogin().evaluationsUnlocked);
}

TEST_F(UsersTest, LoginEntriesAndFlags) {
  AddUser("Chef", kEveryRight, "geheim");
  AddUser("Gast", kRightEvaluate);
  struct Row {
    const char* what;
    int flags;
    const char* name;
    const char* password;
    LoginEntry result;
    std::vector<int> messages;
  };
  const Row rows[] = {
      {"empty name", 0, " ", "", LoginEntry::kRetry, {533}},
      {"unknown name", 0, "Niemand", "", LoginEntry::kRetry, {534}},
      {"wrong password", 0, "Chef", "falsch", LoginEntry::kRetry, {127}},
      {"password where none is stored", 0, "Gast", "x", LoginEntry::kRetry, {127}},
      {"right password", 0, "Chef", "geheim", LoginEntry::kPassed, {}},
      {"no administrator", kLoginAdministratorOnly, "Gast", "", LoginEntry::kFailed, {535}},
      {"administrator", kLoginAdministratorOnly, "Chef", "geheim", LoginEntry::kPassed, {}},
  };
  ASSERT_TRUE(OpenUserFile(1));
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    messages_.Clear();
    EXPECT_EQ(CheckLoginEntry(r.flags, r.name, r.password), r.result);
    EXPECT_EQ(messages_.Numbers(), r.messages);
  }
  CloseUserFile();
  EXPECT_EQ(Users().size(), 2u);  // nobody was added to a file with users
}

TEST_F(UsersTest, WhenTheDialogIsSkipped) {
  // An administrator-only login passes silently while nobody is set up.
  int deleteFlags = kLoginAdministratorOnly | kLoginAlwaysAsk | kLoginPassWhenNoUsers;
  EXPECT_EQ(BeginLogin(1, deleteFlags), LoginStart::kPassed);
  EndLogin();
  AddUser("Chef", kEveryRight, "geheim");
  EXPECT_EQ(BeginLogin(1, deleteFlags), LoginStart::kAsk);
  EndLogin();
  // A known current user passes unless asked always or the password changed.
  CurrentLogin().userName = "Chef";
  CurrentLogin().password = "geheim";
  EXPECT_EQ(BeginLogin(1, kLoginMakeCurrent), LoginStart::kPassed);
  EndLogin();
  EXPECT_EQ(BeginLogin(1, kLoginMakeCurrent | kLoginAlwaysAsk), LoginStart::kAsk);
  EndLogin();
  CurrentLogin().password = "alt";
  EXPECT_EQ(BeginLogin(1, kLoginMakeCurrent), LoginStart::kAsk);
  EndLogin();
}

TEST_F(UsersTest, WrongPasswordKeepsTheLoginDialogOpen) {
  AddUser("Chef", kEveryRight, "geheim");
  ASSERT_EQ(BeginLogin(1, kLoginMakeCurrent), LoginStart::kAsk);
  LoginDialog d(nullptr, kLoginMakeCurrent);
  d.Edit(benutzerlogin::kName)->setText("Chef");
  d.Edit(benutzerlogin::kPassword)->setText("geheimer");
  d.accept();
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{127});
  EXPECT_EQ(messages_.focused, std::vector<int>{benutzerlogin::kPassword});
  EXPECT_NE(d.result(), QDialog::Accepted);
  d.Edit(benutzerlogin::kPassword)->setText("geheim");
  d.accept();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EndLogin();
  EXPECT_EQ(CurrentLogin().userName, "Chef");
}

// ---- User administration --------------------------------------------------------

TEST_F(UsersTest, WithdrawingAllKeepsAdministrationOnTheOnlyAdministrator) {
  AddUser("Chef", kEveryRight);
  AddUser("Gast", kRightEvaluate | kRightAdministration);
  using namespace benutzerverw;
  UserAdminDialog d(nullptr);
  ASSERT_EQ(d.List(kUsers)->count(), 2);
  d.SelectUser(0);  // Chef, while Gast is an administrator too
  d.WithdrawAll();
  EXPECT_EQ(d.shownRights(), 0u);
  EXPECT_EQ(d.List(kWith)->count(), 0);
  ASSERT_TRUE(d.Change());

  d.SelectUser(1);  // Gast is now the only administrator
  d.WithdrawAll();
  EXPECT_EQ(d.shownRights(), static_cast<unsigned>(kRightAdministration));
  ASSERT_EQ(d.List(kWith)->count(), 1);
  EXPECT_EQ(d.List(kWith)->item(0)->text(), "Administration");
  d.List(kWith)->setCurrentRow(0);
  d.Withdraw();  // one by one neither
  EXPECT_EQ(d.shownRights(), static_cast<unsigned>(kRightAdministration));
  messages_.Clear();
  EXPECT_FALSE(d.DeleteSelected());
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{918, 798}));

  // Unsaved rights are offered for saving when another user is chosen.
  d.GrantAll();
  messages_.Clear();
  messages_.answers = {kIdYes};
  d.SelectUser(0);
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{917});
  d.reject();
  EXPECT_EQ(Users()[1].rights, (1u << kRightCount) - 1);
}

TEST_F(UsersTest, NewUserGetsTheShownRightsAndRightsAreCopied) {
  AddUser("Chef", kEveryRight);
  using namespace benutzerverw;
  UserAdminDialog d(nullptr);
  messages_.Clear();
  EXPECT_FALSE(d.New());
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{2});
  d.WithdrawAll();  // Chef stays administrator; the new user gets what is shown
  d.List(kWithout)->setCurrentRow(4);  // "Auswerten" is the fifth withheld right
  d.Grant();
  d.Edit(kNewName)->setText("Neu");
  messages_.answers = {kIdNo};  // do not save Chef's shown rights
  ASSERT_TRUE(d.New());
  std::vector<UserRecord> users = Users();
  ASSERT_EQ(users.size(), 2u);
  EXPECT_EQ(users[0].rights, kEveryRight);
  EXPECT_EQ(users[1].name, "Neu");
  EXPECT_EQ(users[1].rights, kRightAdministration | kRightEvaluate);

  ASSERT_TRUE(OpenUserFile(1));
  CopyRightsDialog copy(nullptr, users[0], users);
  ASSERT_EQ(copy.List(benutzerkopieren::kTargets)->count(), 1);
  copy.List(benutzerkopieren::kTargets)->item(0)->setSelected(true);
  copy.accept();
  EXPECT_EQ(copy.result(), QDialog::Accepted);
  CloseUserFile();
  EXPECT_EQ(Users()[1].rights, kEveryRight);
}

// ---- Passwords ----------------------------------------------------------------------

TEST_F(UsersTest, OwnPasswordChecksOldAndRepetition) {
  AddUser("Chef", kEveryRight, "alt");
  CurrentLogin().userName = "Chef";
  CurrentLogin().password = "alt";
  ASSERT_TRUE(OpenUserFile(1));
  using namespace benutzerpassaen;
  UserPasswordDialog d(nullptr, "Chef");
  struct Row {
    const char *old, *fresh, *repeated;
    int message;
  };
  for (Row r : {Row{"falsch", "neu", "neu", 797}, Row{"alt", "neu", "neo", 707}}) {
    d.Edit(kOld)->setText(r.old);
    d.Edit(kNew)->setText(r.fresh);
    d.Edit(kRepeat)->setText(r.repeated);
    messages_.Clear();
    d.accept();
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{r.message});
  }
  d.Edit(kRepeat)->setText("neu");
  d.accept();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  CloseUserFile();
  EXPECT_EQ(Users()[0].password, "neu");
  EXPECT_EQ(CurrentLogin().password, "neu");
  // The stored bytes are the scrambled form.
  char record[layouts::user::kLayout.recordLength];
  ASSERT_TRUE(OpenUserFile(1));
  ASSERT_TRUE(GetFirst(record, MakeFileId(kSlotUser, 0)));
  CloseUserFile();
  EXPECT_EQ(std::string(layouts::FieldBytes(record, layouts::user::kPassword)), "OMV");  // n-31, e-24, u-31
}

TEST_F(UsersTest, ProgramPasswordsAndTheQuery) {
  CurrentLogin().evaluationsUnlocked = true;
  using namespace passaen;
  {
    ProgramPasswordDialog d(nullptr);
    d.Edit(kFibuNew)->setText("fibu");
    d.Edit(kFibuRepeat)->setText("fibu");
    d.Edit(kEvaluationNew)->setText("ausw");
    d.Edit(kEvaluationRepeat)->setText("ausx");
    d.accept();
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{707});
    EXPECT_EQ(messages_.focused, std::vector<int>{kEvaluationNew});
    d.Edit(kEvaluationRepeat)->setText("ausw");
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
  }
  char record[F::kLayout.recordLength];
  bool found = false;
  ASSERT_TRUE(ReadMandantRecord(1, record, found) && found);
  EXPECT_EQ(layouts::GetPassword(record, F::kAccessPassword), "fibu");
  EXPECT_EQ(layouts::GetNumber(record, F::kPasswordOn), 1);
  EXPECT_STREQ(CurrentMandant().evaluationPassword, "ausw");
  {
    ProgramPasswordDialog d(nullptr);  // the old ones must be given now
    d.Edit(kFibuOld)->setText("fibo");
    messages_.Clear();
    d.accept();
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{706});
    d.Edit(kFibuOld)->setText("fibu");
    d.Edit(kEvaluationOld)->setText("x");
    messages_.Clear();
    d.accept();
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{708});
  }

  struct Row {
    const char *fibu, *evaluations;
    std::deque<int> answers;
    PasswordQuery result;
    std::vector<int> messages;
    bool unlocked;
  };
  const Row rows[] = {
      {"fibu", "ausw", {}, PasswordQuery::kOpen, {}, true},
      {"fib", "ausw", {}, PasswordQuery::kRefused, {127}, false},
      {"fibu", "aus", {kIdYes}, PasswordQuery::kAskAgain, {902}, false},
      {"fibu", "aus", {kIdNo}, PasswordQuery::kOpen, {902}, false},
  };
  for (const Row& r : rows) {
    CurrentLogin().evaluationsUnlocked = false;
    messages_.Clear();
    messages_.answers = r.answers;
    EXPECT_EQ(CheckPasswordQuery(r.fibu, r.evaluations), r.result);
    EXPECT_EQ(messages_.Numbers(), r.messages);
    EXPECT_EQ(CurrentLogin().evaluationsUnlocked, r.unlocked);
  }
}

// ---- Opening another Mandant -------------------------------------------------------

// Mandant 2, year 1996 (directory 19961) with the given files; its master
// record says `version` and whether its Fibu password is on.
void AddSecondMandant(int version, bool passwordOn, std::vector<const char*> files) {
  char record[F::kLayout.recordLength];
  layouts::InitRecord(F::kLayout, record);
  layouts::SetNumber(record, F::kMandantNo, 2);
  layouts::SetText(record, F::kCompanyName, "Zweite");
  layouts::SetText(record, F::kCurrentYear, "1996");
  layouts::SetNumber(record, F::kDataVersion, version);
  layouts::SetNumber(record, F::kPasswordOn, passwordOn ? 1 : 0);
  ASSERT_TRUE(Insert(record, MakeFileId(kSlotFista, 0)));
  std::string dir = YearDirectory("1996") + "1";
  std::filesystem::create_directories(dir);
  for (const char* file : files) ASSERT_TRUE(layouts::CreateFile(dir, file));
}

// The login as the dialog does it, typing "Neu" without a password.
bool LoginAsNeu(int mandant, int flags) {
  LoginStart start = BeginLogin(mandant, flags);
  bool passed = start == LoginStart::kPassed ||
                (start == LoginStart::kAsk && CheckLoginEntry(flags, "Neu", "") == LoginEntry::kPassed);
  EndLogin();
  return passed;
}

// Cause: a refused open restored the Mandant but not its login, so the
// first user of the other Mandant (every right) stayed logged in.
TEST_F(UsersTest, RefusedOpenRestoresTheLogin) {
  struct Row {
    const char* name;
    int version;
    bool passwordOn;
    std::deque<int> answers;
  };
  const Row rows[] = {
      {"password_query_cancelled", F::kDataVersionCurrent, true, {}},
      {"conversion_refused", 300, false, {kIdNo}},
  };
  InstallUserSeams();
  MandantSeams seams = CurrentMandantSeams();
  seams.login = &LoginAsNeu;
  seams.askPasswords = [] { return false; };
  SetMandantSeams(seams);
  AddSecondMandant(F::kDataVersionCurrent, true, {"user"});
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ASSERT_TRUE(ChangeMandantRecord(2, [&](void* record) {
      return layouts::SetNumber(record, F::kDataVersion, r.version) &&
             layouts::SetNumber(record, F::kPasswordOn, r.passwordOn ? 1 : 0);
    }));
    CurrentLogin() = LoginState{"Erfasser", "", kRightEnterPostings, false};
    messages_.answers = r.answers;
    EXPECT_FALSE(OpenMandant(2));
    EXPECT_EQ(CurrentMandant().number, 1);
    EXPECT_EQ(CurrentLogin().userName, "Erfasser");
    EXPECT_EQ(CurrentLogin().rights, static_cast<unsigned>(kRightEnterPostings));
    EXPECT_FALSE(CurrentLogin().evaluationsUnlocked);
  }
}

// Cause: the login read the user file before the conversion that creates it.
TEST_F(UsersTest, OldDataAreConvertedBeforeTheLogin) {
  AddSecondMandant(300, false, {"sako", "bube", "kred", "debi", "kore"});
  MandantSeams seams = CurrentMandantSeams();
  seams.login = &LoginAsNeu;
  SetMandantSeams(seams);
  messages_.answers = {kIdYes};  // 901: convert
  ASSERT_TRUE(OpenMandant(2));
  EXPECT_EQ(messages_.Numbers().front(), 901);
  EXPECT_EQ(CurrentLogin().userName, "Neu");
  EXPECT_EQ(CurrentLogin().rights, ActiveRights(kEveryRight));
}

// Cause: "Kopieren" gave the rights of a user without "Administration" to
// the only administrator, and the Mandant had none left.
TEST_F(UsersTest, CopyingRightsKeepsAdministrationOnTheOnlyAdministrator) {
  AddUser("Chef", kEveryRight);
  AddUser("Erfasser", kRightEnterPostings);
  AddUser("Zweiter", kRightEvaluate);
  std::vector<UserRecord> users = Users();
  ASSERT_TRUE(OpenUserFile(1));
  CopyRightsDialog copy(nullptr, users[1], users);
  for (int row = 0; row < 2; ++row) copy.List(benutzerkopieren::kTargets)->item(row)->setSelected(true);
  copy.accept();
  EXPECT_EQ(copy.result(), QDialog::Accepted);
  CloseUserFile();
  users = Users();
  EXPECT_EQ(users[0].rights, kRightEnterPostings | kRightAdministration);
  EXPECT_EQ(users[2].rights, static_cast<unsigned>(kRightEnterPostings));
}

// Cause: when the current user had been deleted and the new login was
// cancelled, the old rights stayed active.
TEST_F(UsersTest, DeletedCurrentUserLosesTheRights) {
  AddUser("Chef", kEveryRight);
  AddUser("Gast", kRightEvaluate);
  CurrentLogin() = LoginState{"Gast", "", kRightEvaluate, true};
  ASSERT_TRUE(OpenUserFile(1));
  ASSERT_TRUE(DeleteUser(Users()[1].id));
  CloseUserFile();
  // The administration closes unchanged, the new login is cancelled.
  QTimer::singleShot(0, [] {
    QApplication::activeModalWidget()->close();
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
  });
  EXPECT_FALSE(RunUserAdministration(nullptr));
  EXPECT_EQ(CurrentLogin().userName, "");
  EXPECT_EQ(CurrentLogin().rights, 0u);
  EXPECT_FALSE(CurrentLogin().evaluationsUnlocked);
  EXPECT_FALSE(MainFilesOpen());
}

// Cause: the administration's "Paßwort..." asked for the old password,
// which the administrator does not know.
TEST_F(UsersTest, AdministratorSetsAPasswordWithoutTheOldOne) {
  AddUser("Chef", kEveryRight);
  AddUser("Gast", kRightEvaluate, "vergessen");
  UserAdminDialog d(nullptr);
  d.SelectUser(1);
  AnswerNextDialog({{benutzerpassaen::kNew, "neu"}, {benutzerpassaen::kRepeat, "neu"}});
  d.SetPassword();
  d.reject();
  EXPECT_TRUE(messages_.Numbers().empty());
  EXPECT_EQ(Users()[1].password, "neu");
}

}  // namespace
