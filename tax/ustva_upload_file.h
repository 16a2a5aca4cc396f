// The return as the data set the tax authority's web portal takes for
// upload ("Formulardaten hochladen"): an XML file in ISO-8859-15 whose root
// names the form year in its namespace,
//
//   <Anmeldungssteuern xmlns="http://finkonsens.de/elster/elsteranmeldung/ustva/v2026"
//                      version="2026">
//     <DatenLieferant> Name Strasse PLZ Ort Telefon Email </DatenLieferant>
//     <Erstellungsdatum>20260409</Erstellungsdatum>
//     <Steuerfall><Umsatzsteuervoranmeldung>
//       Jahr Zeitraum Steuernummer Kz10 Kz21 .. Kz83
//     </Umsatzsteuervoranmeldung></Steuerfall>
//   </Anmeldungssteuern>
//
// One element per Kennzahl that is not zero, in the order of the numbers;
// Kennzahl 83, the result, always. Bases in whole euros ("9500"), taxes with
// two decimals and a point ("1805.00"). The file is not sent anywhere: the
// user uploads it in the portal and submits the return there.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/mandant/company_master.h"
#include "tax/ustva_computation.h"

namespace talvera {

struct UstvaUploadSender {  // UTF-8
  std::string name, street, postcode, town, phone, email;

  bool operator==(const UstvaUploadSender&) const = default;
};

struct UstvaUpload {
  int formYear = 0;
  std::string created;      // YYYYMMDD
  UstvaUploadSender sender;
  int year = 0;
  std::string period;       // "01".."12", "41".."44"
  std::string taxNumber;    // 13 digits
  std::vector<std::pair<int, std::string>> fields;  // Kennzahl, value as written

  bool operator==(const UstvaUpload&) const = default;
};

// The upload of a computed return; false with a German reason when there is
// none (no German form of today's numbers, the whole year, the tax number).
// `created` is today's date (YYYYMMDD).
bool MakeUstvaUpload(const UstvaReturn& ret, const CompanyMaster& master, const std::string& created,
                     UstvaUpload& out, std::string& error);

// The file's bytes (ISO-8859-15).
std::string WriteUstvaUploadXml(const UstvaUpload& upload);

// Reads a file written by WriteUstvaUploadXml back; false with a reason
// when it is no such file.
bool ReadUstvaUploadXml(std::string_view bytes, UstvaUpload& out, std::string& error);

// Writes the file whole or not at all (a temporary file renamed into place).
bool SaveUstvaUploadFile(const std::string& path, const UstvaUpload& upload, std::string& error);

}  // namespace talvera
