// The form record: the return as the form printer receives it. 849 bytes,
// zero-filled, every field a text ended by a zero byte within its width
// (Windows-1252):
//
//   offset  width  content
//        0     26  tax office name
//       26     31  tax office street
//       57     31  tax office postcode and town
//       88     41  company name
//      129     41  company addition
//      170     31  company street
//      201     31  company postcode and town
//      232     21  company telephone
//      253      7  today as a period date (DDPPYY)
//      260     35  tax number code line; empty without a Bundesland
//      295     34  period text ("März 2026", "1. Quartal 2026", "Gesamt 2026")
//      329  40x13  amount texts ("000001234,56"), in the order of kUstvaFormSlots
//
// A text longer than its field is cut to the field's width less the ending
// zero, so no field ever runs into the next.
#pragma once

#include <array>
#include <string>

#include "core/mandant/company_master.h"
#include "tax/ustva_computation.h"

namespace talvera {

constexpr int kUstvaFormRecordLength = 849;
constexpr int kUstvaFormAmounts = 40;

struct UstvaFormField {
  int offset;
  int width;
};

namespace ustva_record {
constexpr UstvaFormField kTaxOffice{0, 26}, kTaxOfficeStreet{26, 31}, kTaxOfficeTown{57, 31},
    kCompany{88, 41}, kCompanyExtra{129, 41}, kStreet{170, 31}, kTown{201, 31}, kPhone{232, 21},
    kToday{253, 7}, kCodeLine{260, 35}, kPeriodText{295, 34};
constexpr int kFirstAmount = 329;
constexpr int kAmountWidth = 13;
}  // namespace ustva_record

using UstvaFormRecord = std::array<char, kUstvaFormRecordLength>;

// Fills the record from a computed return and the company master (UTF-8).
void FillUstvaFormRecord(const UstvaReturn& ret, const CompanyMaster& master, UstvaFormRecord& record);

// A text field of the record in UTF-8.
std::string UstvaFormText(const UstvaFormRecord& record, UstvaFormField field);
// Amount slot i (0..39) as its amount text.
std::string UstvaFormAmount(const UstvaFormRecord& record, int slot);

// The period as the form names it: month and calendar year; "1. Quartal" ..
// or "Gesamt" with the fiscal-year text ("1996", "1996/97").
std::string UstvaFormPeriodText(const UstvaPeriod& period);

}  // namespace talvera
