// The structure editor "AUFBAU" with its group dialogs "GRUPPENEU" and
// "GRUPPEAEN", and the structure reorganisation with its notice "TQREORG".
// The work is StructureEditing's and ReorganiseStructures'; these are the
// screens around it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/structure_editing.h"
#include "widgets/dialog_kit.h"

namespace talvera {

namespace aufbau {
enum : int {
  kAssigned = 101, kUnassigned,
  kDepth1 = 111, kDepth2, kDepth3, kWithAccounts,
  kEmptyLineBefore = 121, kBold, kUnderlined, kLargerFont,
  kNew = 131, kChange, kDelete, kFinish,
  kPreviousYear = 141,
};
// Which list a drop lands on.
enum DropList { kOntoAssigned, kOntoUnassigned };
}  // namespace aufbau

namespace gruppe {
enum : int { kName = 101, kEmptyLineBefore = 111, kBold, kUnderlined, kLargerFont, kLevel = 121 };
}

// "GRUPPENEU" ("NEUE GRUPPE ANLEGEN") with the levels offered, or
// "GRUPPEAEN" ("NAME UND ATTRIBUTE ÄNDERN") without a level.
class GroupDialog : public TalviDialog {
  Q_OBJECT
 public:
  // A new group: `levels` not empty. A change: `levels` empty.
  GroupDialog(QWidget* parent, const std::vector<int>& levels, const std::string& name,
              int attributes);
  std::string name() const;
  int attributes() const;
  int level() const;

 protected:
  bool Confirm() override;

 private:
  int hiddenBits_;  // attribute bits without a check box (computed lines): kept as they were
};

class StructureEditorDialog : public TalviDialog {
  Q_OBJECT
 public:
  // The editor of a command (3059, 3060, 3061, 3064, 3065) on the working
  // year; `account` is selected when given. When the tree cannot be read,
  // message 115 has been shown and usable() is false.
  StructureEditorDialog(QWidget* parent, int command, const std::string& account = {});
  // The editor on a tree in memory (the gallery's sample).
  StructureEditorDialog(QWidget* parent, StructureEditing editing);
  ~StructureEditorDialog() override;

  bool usable() const { return usable_; }
  const StructureEditing& editing() const { return *editing_; }
  // The open structure editor, if any: only one may exist.
  static StructureEditorDialog* Open();

  // What a drop does: `payload` names the dragged entry ("L<handle>" from
  // the assigned list, "R<account>" from the other), `target` the entry of
  // the assigned list it landed on (-1 for none).
  void Drop(const QString& payload, aufbau::DropList onto, int target);
  void NewGroup();     // "&Neu..."
  void ChangeGroup();  // "&Ändern..."
  void DeleteGroup();  // "&Löschen"
  // The handle of the selected entry of the assigned list, -1 for none.
  int Selected() const;
  void Select(int handle);

 protected:
  bool Confirm() override { return true; }

 private:
  void Build();
  void Refill();
  void ShowAttributes();
  void AttributeClicked();
  void SwitchYear(bool previous);
  int Depth() const;
  // Shows the result of an edit and refills the lists.
  void Done(int message, int select);

  std::unique_ptr<StructureEditing> editing_;
  bool usable_ = true;
  std::string selectAccount_;
};

// Asks message 400, shows the notice while the structure files of the open
// years are reconciled, then message 407, 433 or 199.
void RunStructureReorganisation(QWidget* parent);

// The structure editor of a command, once: while one is open, message 719
// and that one comes to the front.
void RunStructureEditor(QWidget* parent, int command, const std::string& account = {});
// After a new Sachkonto: the editor of its class with the account selected;
// with `alternative` the editor that places it on the other side.
void RunStructureEditorForAccount(QWidget* parent, int accountClass, const std::string& account,
                                  bool alternative);

// "Aufbau festlegen" after a new Sachkonto of class 2, 4 or 8: its tree's
// editor with the account selected; for a balance-sheet account then
// question 140, and on yes the editor that places it on the other side.
void PlaceNewAccount(QWidget* parent, int accountClass, const std::string& account);

// The editor on a small sample tree, for the gallery.
std::unique_ptr<QDialog> BuildStructureEditorSample(QWidget* parent);

}  // namespace talvera
