// Storing and deleting accounts. Each function first checks by reading
// only, then writes everything that belongs together in one short
// transaction, and shows a failure only after that transaction has ended,
// so no other workstation waits on a message box.
#pragma once

#include <string>
#include <vector>

namespace talvera {

enum class AccountFile { kSako, kDebi, kKred, kKore };

const char* AccountFileName(AccountFile file);  // "sako", "debi", "kred", "kore"

// Who is told about new, changed and deleted Sachkonten, Debitoren and
// Kreditoren (the notifier of dependent applications); cost centres are
// not reported. operation: 1 new, 2 changed, 3 deleted.
using AccountNoticeListener = void (*)(int operation, AccountFile file, const void* record);
void SetAccountNoticeListener(AccountNoticeListener listener);

// Who else hears of every stored change, cost centres included (the open
// account windows): called after the change was committed, with the
// account's number. Adding one twice keeps it once.
using AccountChangeListener = void (*)(int operation, AccountFile file, const std::string& number);
void AddAccountChangeListener(AccountChangeListener listener);
void RemoveAccountChangeListener(AccountChangeListener listener);

// A checked new account into the current year: the record and, for a
// Sachkonto with a class, a loose leaf in the tree of its class. With
// `copyToPreviousYear` the account and its leaf also go into the previous
// year, without the previous-year figures typed for this year; when it
// exists there already, message 762 after the save. Message 103 when
// nothing could be stored.
bool SaveNewAccount(AccountFile file, const void* record, bool copyToPreviousYear);

// A checked change: the record; for a Sachkonto a changed class moves its
// leaf (the old class's leaves go, a loose leaf in the new class's tree
// comes) and a changed short code is written into its leaves. 103 on failure.
bool SaveChangedAccount(AccountFile file, const void* record);

// Why an account may not be deleted: what still names it ("Steuersatz",
// "Sammelkonto der Debitoren", ...), empty when nothing does.
bool AccountReferences(AccountFile file, const std::string& number, std::vector<std::string>& out);

// The checks of DeleteAccount, by reading only: the account exists (else
// 413), is unposted (else 724) and nothing names it (else 480).
bool CheckDeletable(AccountFile file, const std::string& number);

// Deletes one unposted account of the current year with its tree leaves,
// and the same account of the previous year when it is unposted there.
// Refusals: 724 (posted in the meantime), 480 (something names it); 413
// when the store failed.
bool DeleteAccount(AccountFile file, const std::string& number);

// The unposted accounts of a file in number order ("Löschbare Konten").
bool ListDeletable(AccountFile file, std::vector<std::string>& numbers);
// "Alle Löschen": deletes the listed accounts one by one and stops at the
// first that cannot be deleted; `deleted` counts those that went.
bool DeleteAll(AccountFile file, const std::vector<std::string>& numbers, int& deleted);

inline constexpr int kMessageNotStored = 103;
inline constexpr int kMessageNotDeleted = 413;
inline constexpr int kMessagePostedMeanwhile = 724;
inline constexpr int kMessageExistsInPreviousYear = 762;
inline constexpr int kMessageStillReferenced = 480;

}  // namespace talvera
