// The return printed as a form: the tax office and company block, the tax
// number code line and every row of the period's form with its Kennzahlen,
// placed in tenths of a millimetre into the form buffer.
#pragma once

#include <string>

#include "core/mandant/company_master.h"
#include "reports/form_buffer.h"
#include "tax/ustva_computation.h"

namespace talvera {

// Bundesland and the six address fields of tax office and company are set.
bool UstvaMasterDataComplete(const CompanyMaster& master);

// The code line of the tax number: Bundesland code 0 gives an empty line.
std::string UstvaTaxNumberCodeLine(const CompanyMaster& master, const UstvaPeriod& period);

// Lays the form into `buffer` (cleared first).
void LayOutUstvaFormSheet(const UstvaReturn& ret, const CompanyMaster& master, FormBuffer& buffer);

}  // namespace talvera
