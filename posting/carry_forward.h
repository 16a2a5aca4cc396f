// Carrying previous-year postings into the current year: the opening
// balances, the previous-year totals and balances of the accounts, their
// carry-forward records (Saldovortragsbuchungen) in the journal, and the
// carry-forward account that takes the result of P&L postings. Works on
// the current year's files.
#pragma once

namespace talvera {

// side 0 debit, 1 credit. balance: the opening balance changes too;
// writeRecord: keep the account's carry-forward record; addTotals: add to
// the previous-year totals. periodDate: period of the posting count (1 when null).
bool UpdateCarryForward(const char* account, int kind, int side, const char* amount, bool balance,
                        bool writeRecord, bool addTotals, const char* periodDate);
bool CarryResultForward(int side, const char* amount);
// Moves only the opening balance of an account of the working year (an
// opening posting): no previous-year figures, no carry-forward record.
// shortCodeOut (may be null) receives the account's short code.
bool AddOpeningBalance(const char* account, int kind, int side, const char* amount, char* shortCodeOut);

}  // namespace talvera
