// The company master data of the open Mandant as the master-data dialog
// shows and changes them.
#pragma once

#include <string>

namespace talvera {

// Control ids of the company master dialog.
namespace stammdat {
enum : int {
  kName = 101, kNameExtra, kStreet, kTown, kPhone, kVatId,
  kTaxOffice, kTaxOfficeStreet, kTaxOfficeTown, kFederalState, kTaxNumber,
  kStartMonth = 121, kTaxation, kDirectory,
};
}

struct CompanyMaster {
  std::string name, nameExtra, street, town, phone, vatId;
  std::string taxOffice, taxOfficeStreet, taxOfficeTown, taxNumber;
  int federalState = 0;  // index into the dialog's list of states
};

// From the in-memory master record of the open Mandant.
CompanyMaster CurrentCompanyMaster();

// Checks (message 2 for a missing name, tax office or tax number; 401 for
// a name another Mandant has) and writes the record (191 on failure); the
// in-memory values follow.
bool SaveCompanyMaster(const CompanyMaster& master);

}  // namespace talvera
