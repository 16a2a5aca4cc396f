// The account field that "&Kopieren" of the account windows fills: the one
// a dialog registered last. The posting dialogs register their account
// fields as they get the focus; the account windows call CopyToTarget.
#pragma once

#include <QString>

class QLineEdit;

namespace talvera {

// `field` becomes the target; it stops being one when it is destroyed.
void RegisterCopyTarget(QLineEdit* field);
// No target any more when `field` is the registered one.
void UnregisterCopyTarget(QLineEdit* field);
QLineEdit* CopyTarget();
// Makes `field` the target whenever it gets the focus (the account fields
// of the posting list, the account sheets, the bank administration, ...).
void TrackCopyTarget(QLineEdit* field);

// Writes the account number into the target, activates its dialog and
// selects the field (marked as edited, so that leaving it evaluates the
// account). False, and nothing happens, when no target is registered or
// it cannot take input now.
bool CopyToTarget(const QString& account);

}  // namespace talvera
