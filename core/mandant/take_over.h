// Taking master data over from another Mandant into the open one: the chart
// of accounts with its structure files and tax rates, the personal accounts,
// cost centres, booking texts and templates, exchange rates and open items.
// Only the current year directories of both Mandanten are touched.
#pragma once

namespace talvera {

enum TakeOverItem : unsigned {
  kTakeSachkonten = 1u << 0,
  kTakeGuvStructure = 1u << 1,
  kTakeAssetStructure = 1u << 2,
  kTakeLiabilityStructure = 1u << 3,
  kTakeKreditoren = 1u << 4,
  kTakeDebitoren = 1u << 5,
  kTakeCostCentres = 1u << 6,
  kTakeBookingTexts = 1u << 7,
  kTakeBookingTemplates = 1u << 8,
  kTakeExchangeRates = 1u << 9,
  kTakeKreditorItems = 1u << 10,
  kTakeDebitorItems = 1u << 11,
};

// Takes the chosen items (TakeOverItem bits) of Mandant `source` over into
// the open Mandant; message 520 on success, 5 when nothing was chosen, 710
// on failure. Accounts, Debitoren, Kreditoren and cost centres arrive with
// every amount and count reset; the rest are copied as files.
bool TakeOverData(int source, unsigned items);

// The resets of the take-over, one record at a time: all turnovers,
// balances, period totals and counts cleared, budget figures and the
// unposted flag kept.
void ResetSachkonto(void* record);
void ResetPersonalAccount(void* record);
void ResetCostCentre(void* record);

}  // namespace talvera
