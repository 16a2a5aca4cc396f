#include "users/users_dialogs.h"

#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

#include "core/mandant/mandant_seams.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/record_store.h"
#include "users/login.h"
#include "users/login_state.h"
#include "users/passwords.h"
#include "users/rights.h"
#include "users/rights_editing.h"

namespace talvera {
namespace {

enum : int {
  kMessageInputMissing = 2,
  kMessageChoose = 5,
  kMessageListFull = 718,
  kMessageOnlyAdministrator = 798,
  kMessageAskSaveRights = 917,
  kMessageAskDeleteUser = 918,
};

QString Q(const std::string& s) { return QString::fromStdString(s); }

QLineEdit* PasswordEdit(QLineEdit* edit) {
  edit->setEchoMode(QLineEdit::Password);
  return edit;
}

PasswordChange ReadChange(TalviDialog& d, int first) {
  return {d.FieldText(first), d.FieldText(first + 1), d.FieldText(first + 2)};
}

}  // namespace

// ---- BENUTZERLOGIN --------------------------------------------------------

LoginDialog::LoginDialog(QWidget* parent, int flags)
    : TalviDialog(parent, "BENUTZERLOGIN", "BENUTZER-LOGIN"), flags_(flags) {
  AddEdit(benutzerlogin::kName, "&Benutzername:", 30);
  PasswordEdit(AddEdit(benutzerlogin::kPassword, "&Paßwort:", 16));
  AddButtons();
}

bool LoginDialog::Confirm() {
  LoginEntry entry =
      CheckLoginEntry(flags_, FieldText(benutzerlogin::kName), FieldText(benutzerlogin::kPassword));
  if (entry == LoginEntry::kRetry) return false;
  if (entry == LoginEntry::kFailed) {
    failed_ = true;
    reject();
    return false;
  }
  return true;
}

bool Login(QWidget* window, int mandant, int flags) {
  LoginStart start = BeginLogin(mandant, flags);
  bool passed = start == LoginStart::kPassed;
  if (start == LoginStart::kAsk) {
    LoginDialog dialog(window, flags);
    passed = dialog.exec() == QDialog::Accepted;
  }
  EndLogin();
  return passed;
}

// ---- BENUTZERVERW ---------------------------------------------------------

UserAdminDialog::UserAdminDialog(QWidget* parent)
    : TalviDialog(parent, "BENUTZERVERW", "BENUTZERVERWALTUNG") {
  using namespace benutzerverw;
  QListWidget* users = AddList(kUsers, "&Benutzer:");
  AddEdit(kNewName, "", 30);
  AddListPair(kWithout, "kein Recht &zu:", kWith, "&Recht zu:",
              {{kGrant, ">"}, {kWithdraw, "<"}, {kGrantAll, ">>"}, {kWithdrawAll, "<<"}});
  struct Button {
    int id;
    void (UserAdminDialog::*action)();
  };
  for (Button b : {Button{kGrant, &UserAdminDialog::Grant}, Button{kWithdraw, &UserAdminDialog::Withdraw},
                   Button{kGrantAll, &UserAdminDialog::GrantAll},
                   Button{kWithdrawAll, &UserAdminDialog::WithdrawAll}})
    connect(qobject_cast<QPushButton*>(Control(b.id)), &QPushButton::clicked, this, b.action);
  connect(AddButton(kCopy, "&Kopieren..."), &QPushButton::clicked, this, &UserAdminDialog::Copy);
  connect(AddButton(kPassword, "&Paßwort..."), &QPushButton::clicked, this,
          &UserAdminDialog::SetPassword);
  connect(AddButton(kNew, "&Neu"), &QPushButton::clicked, this, [this] { New(); });
  connect(AddButton(kChange, "Än&dern"), &QPushButton::clicked, this, [this] { Change(); });
  connect(AddButton(kDelete, "&Löschen"), &QPushButton::clicked, this, [this] { DeleteSelected(); });
  AddButtons();
  connect(users, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row != selected_) SelectUser(row);
  });
  OpenUserFile(CurrentMandant().number);
  Reload();
  if (!users_.empty()) SelectUser(0);
}

bool UserAdminDialog::Reload() {
  QListWidget* list = List(benutzerverw::kUsers);
  QSignalBlocker block(list);
  if (!ListUsers(users_)) return false;
  list->clear();
  for (const UserRecord& u : users_) list->addItem(Q(u.name));
  if (selected_ >= static_cast<int>(users_.size())) selected_ = static_cast<int>(users_.size()) - 1;
  list->setCurrentRow(selected_);
  return true;
}

const UserRecord* UserAdminDialog::Selected() const {
  return selected_ >= 0 && selected_ < static_cast<int>(users_.size()) ? &users_[selected_]
                                                                       : nullptr;
}

void UserAdminDialog::ShowRights() {
  QListWidget* without = List(benutzerverw::kWithout);
  QListWidget* with = List(benutzerverw::kWith);
  without->clear();
  with->clear();
  for (int bit = 0; bit < kRightCount; ++bit) {
    auto* item = new QListWidgetItem(Q(RightName(bit)));
    item->setData(Qt::UserRole, bit);
    ((shown_ >> bit) & 1 ? with : without)->addItem(item);
  }
}

bool UserAdminDialog::SaveIfWanted() {
  if (!dirty_) return true;
  if (!ShowMessage(kMessageAskSaveRights)) {
    dirty_ = false;
    return true;
  }
  return Change();
}

void UserAdminDialog::SelectUser(int row) {
  SaveIfWanted();
  selected_ = row;
  {
    QSignalBlocker block(List(benutzerverw::kUsers));
    List(benutzerverw::kUsers)->setCurrentRow(row);
  }
  const UserRecord* user = Selected();
  shown_ = user ? user->rights : 0;
  dirty_ = false;
  ShowRights();
}

void UserAdminDialog::MoveSelected(int fromList, bool grant) {
  QListWidgetItem* item = List(fromList)->currentItem();
  if (!item) {
    ShowMessage(kMessageChoose);
    return;
  }
  unsigned bit = 1u << item->data(Qt::UserRole).toInt();
  const UserRecord* user = Selected();
  if (!grant && bit == kRightAdministration && user && !MayLoseAdministration(users_, user->id))
    return;
  shown_ = grant ? shown_ | bit : shown_ & ~bit;
  dirty_ = true;
  ShowRights();
}

void UserAdminDialog::Grant() { MoveSelected(benutzerverw::kWithout, true); }
void UserAdminDialog::Withdraw() { MoveSelected(benutzerverw::kWith, false); }

void UserAdminDialog::GrantAll() {
  shown_ |= (1u << kRightCount) - 1;
  dirty_ = true;
  ShowRights();
}

void UserAdminDialog::WithdrawAll() {
  const UserRecord* user = Selected();
  shown_ = RightsAfterWithdrawAll(users_, user ? user->id : 0, shown_);
  dirty_ = true;
  ShowRights();
}

bool UserAdminDialog::New() {
  std::string name = FieldText(benutzerverw::kNewName);
  if (name.find_first_not_of(' ') == std::string::npos) {
    ShowMessage(kMessageInputMissing, benutzerverw::kNewName);
    return false;
  }
  if (List(benutzerverw::kUsers)->count() >= kListCapacity) {
    ShowMessage(kMessageListFull);
    return false;
  }
  UserRecord user;
  user.name = name;
  user.rights = shown_;
  if (!InsertUser(user) || !Reload()) return false;
  SetFieldText(benutzerverw::kNewName, "");
  for (std::size_t i = 0; i < users_.size(); ++i)
    if (users_[i].id == user.id) {
      dirty_ = false;
      SelectUser(static_cast<int>(i));
    }
  return true;
}

bool UserAdminDialog::Change() {
  const UserRecord* selected = Selected();
  if (!selected) {
    ShowMessage(kMessageChoose);
    return false;
  }
  UserRecord user = *selected;
  user.rights = shown_;
  if (!UpdateUser(user)) return false;
  users_[selected_].rights = shown_;
  dirty_ = false;
  return true;
}

void UserAdminDialog::Copy() {
  const UserRecord* user = Selected();
  if (!user) {
    ShowMessage(kMessageChoose);
    return;
  }
  CopyRightsDialog dialog(this, *user, users_);
  if (dialog.exec() == QDialog::Accepted) Reload();
}

bool UserAdminDialog::DeleteSelected() {
  const UserRecord* user = Selected();
  if (!user) {
    ShowMessage(kMessageChoose);
    return false;
  }
  if (!ShowMessage(kMessageAskDeleteUser)) return false;
  if ((user->rights & kRightAdministration) && !MayLoseAdministration(users_, user->id)) {
    ShowMessage(kMessageOnlyAdministrator);
    return false;
  }
  if (!DeleteUser(user->id) || !Reload()) return false;
  dirty_ = false;
  SelectUser(users_.empty() ? -1 : 0);
  return true;
}

void UserAdminDialog::SetPassword() {
  const UserRecord* user = Selected();
  if (!user) {
    ShowMessage(kMessageChoose);
    return;
  }
  // Only an administrator gets here: a forgotten password is replaced
  // without the old one.
  UserPasswordDialog dialog(this, user->name, false);
  if (dialog.exec() == QDialog::Accepted) Reload();
}

bool UserAdminDialog::Confirm() {
  SaveIfWanted();
  CloseUserFile();
  return true;
}

void UserAdminDialog::reject() {
  SaveIfWanted();
  CloseUserFile();
  QDialog::reject();
}

// ---- BENUTZERKOPIEREN ------------------------------------------------------

CopyRightsDialog::CopyRightsDialog(QWidget* parent, const UserRecord& source,
                                   const std::vector<UserRecord>& users)
    : TalviDialog(parent, "BENUTZERKOPIEREN", "BENUTZERRECHTE KOPIEREN"), source_(source), users_(users) {
  auto* label = Register(benutzerkopieren::kSource, new QLabel(Q(source.name), this));
  form_->addRow("Verwende Benutzerrechte von", label);
  QListWidget* list = AddList(benutzerkopieren::kTargets, "auch &für:");
  list->setSelectionMode(QAbstractItemView::MultiSelection);
  for (const UserRecord& u : users) {
    if (u.id == source.id) continue;
    targets_.push_back(u);
    list->addItem(Q(u.name));
  }
  AddButtons();
}

bool CopyRightsDialog::Confirm() {
  QListWidget* list = List(benutzerkopieren::kTargets);
  std::vector<long> chosen;
  for (int row = 0; row < list->count(); ++row)
    if (list->item(row)->isSelected()) chosen.push_back(targets_[row].id);
  std::vector<UserRecord> after = users_;
  CopyRights(after, source_.id, chosen);
  for (const UserRecord& user : after)
    if (std::find(chosen.begin(), chosen.end(), user.id) != chosen.end() && !UpdateUser(user)) return false;
  return true;
}

// ---- BENUTZERPASSAEN --------------------------------------------------------

UserPasswordDialog::UserPasswordDialog(QWidget* parent, const std::string& userName, bool askOld)
    : TalviDialog(parent, "BENUTZERPASSAEN", "BENUTZERPASSWORT ÄNDERN"), userName_(userName),
      askOld_(askOld) {
  using namespace benutzerpassaen;
  PasswordEdit(AddEdit(kOld, "altes Paßwort:", 15));
  PasswordEdit(AddEdit(kNew, "neues Paßwort:", 15));
  PasswordEdit(AddEdit(kRepeat, "Wiederholung:", 15));
  AddButtons();
  EnableField(kOld, askOld);
}

bool UserPasswordDialog::Confirm() {
  return ChangeUserPassword(userName_, ReadChange(*this, benutzerpassaen::kOld), askOld_);
}

// ---- PASSAEN ------------------------------------------------------------------

ProgramPasswordDialog::ProgramPasswordDialog(QWidget* parent)
    : TalviDialog(parent, "PASSAEN", "PAßWORT ÄNDERN") {
  using namespace passaen;
  AddHeading("&Fibu - Zugang");
  PasswordEdit(AddEdit(kFibuOld, "altes Paßwort:", 15));
  PasswordEdit(AddEdit(kFibuNew, "neues Paßwort:", 15));
  PasswordEdit(AddEdit(kFibuRepeat, "Wiederholung:", 15));
  AddHeading("Aus&wertungen");
  PasswordEdit(AddEdit(kEvaluationOld, "altes Paßwort:", 15));
  PasswordEdit(AddEdit(kEvaluationNew, "neues Paßwort:", 15));
  PasswordEdit(AddEdit(kEvaluationRepeat, "Wiederholung:", 15));
  AddButtons();
  bool unlocked = CurrentLogin().evaluationsUnlocked;
  for (int id = kEvaluationOld; id <= kEvaluationRepeat; ++id) EnableField(id, unlocked);
}

bool ProgramPasswordDialog::Confirm() {
  using namespace passaen;
  return ChangeProgramPasswords(ReadChange(*this, kFibuOld), ReadChange(*this, kEvaluationOld),
                                Control(kEvaluationOld)->isEnabled());
}

// ---- PASSTEST -------------------------------------------------------------------

PasswordQueryDialog::PasswordQueryDialog(QWidget* parent, const std::string* fibuOnly)
    : TalviDialog(parent, "PASSTEST", "PAßWORT ANGEBEN"), fibuOnly_(fibuOnly) {
  PasswordEdit(AddEdit(passtest::kFibu, "Fibu-Zugang:", 15));
  PasswordEdit(AddEdit(passtest::kEvaluation, "Auswertungen:", 15));
  AddButtons();
  if (fibuOnly_) EnableField(passtest::kEvaluation, false);
}

bool PasswordQueryDialog::Confirm() {
  if (fibuOnly_) {
    if (SamePassword(*fibuOnly_, FieldText(passtest::kFibu))) return true;
    ShowMessage(127, passtest::kFibu);
    reject();
    return false;
  }
  switch (CheckPasswordQuery(FieldText(passtest::kFibu), FieldText(passtest::kEvaluation))) {
    case PasswordQuery::kOpen: return true;
    case PasswordQuery::kAskAgain: return false;
    case PasswordQuery::kRefused: reject(); return false;
  }
  return false;
}

// ---- Commands and seams -----------------------------------------------------------

bool RunUserAdministration(QWidget* window) {
  {
    UserAdminDialog dialog(window);
    dialog.exec();
  }
  int mandant = CurrentMandant().number;
  if (RefreshCurrentUser(mandant)) return true;
  // The current user is gone: nobody works on with their rights. Without a
  // new login the Mandant is closed.
  if (Login(window, mandant, kLoginMakeCurrent | kLoginAlwaysAsk)) return true;
  CloseAll();
  return false;
}

void RunOwnPassword(QWidget* window) {
  if (CurrentLogin().userName.empty()) return;
  if (!OpenUserFile(CurrentMandant().number)) return;
  {
    UserPasswordDialog dialog(window, CurrentLogin().userName);
    dialog.exec();
  }
  CloseUserFile();
}

namespace {

bool LoginSeam(int mandant, int flags) { return Login(QApplication::activeWindow(), mandant, flags); }

bool AskPasswordsSeam() {
  PasswordQueryDialog dialog(QApplication::activeWindow());
  return dialog.exec() == QDialog::Accepted;
}

bool ConfirmPasswordSeam(const std::string& password) {
  PasswordQueryDialog dialog(QApplication::activeWindow(), &password);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace

void InstallUserSeams() {
  MandantSeams seams = CurrentMandantSeams();
  seams.login = &LoginSeam;
  seams.askPasswords = &AskPasswordsSeam;
  seams.confirmPassword = &ConfirmPasswordSeam;
  seams.keepLogin = &KeepLogin;
  seams.restoreLogin = &RestoreKeptLogin;
  SetMandantSeams(seams);
}

}  // namespace talvera
