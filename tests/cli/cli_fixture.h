// A data root as an installed program has it: TALVI.INI naming the data
// root in a temporary settings directory, the chart templates in the data
// root, and one Mandant made from SKR 03 the way the program makes it, with
// its customers and vendors. talvi-cli runs as its own process on it.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "accounts/account_store.h"
#include "core/layouts/layouts.h"
#include "core/layouts/personal.h"
#include "core/mandant/company_master.h"
#include "core/mandant/create_mandant.h"
#include "core/mandant/data_conversion.h"
#include "core/mandant/open_mandant.h"
#include "core/mandant_values.h"
#include "core/message_recorder.h"
#include "core/profile.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/today.h"
#include "recman/recman.h"
#include "support/temp_dir.h"

namespace talvera::testing {

struct CliResult {
  int status = -1;
  std::string out, err;
};

inline std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

struct CliPerson {
  const char* file;  // "debi" or "kred"
  const char* number;
  const char* shortCode;
  const char* name;
  const char* country;
  const char* vatId;
};

// Creates Mandant 1 from SKR 03 with a fiscal year 2026, its company
// master complete for the return, and the given customers and vendors, in
// the data root set; the books are closed afterwards, for talvi-cli.
inline void CreateCliMandant(const std::vector<CliPerson>& people) {
  NewMandant in;
  in.year = "2026";
  in.name = "Handel Nord GmbH";
  in.taxOffice = "Finanzamt Nord";
  in.taxNumber = "123/456/78901";
  in.vatId = "DE123456789";
  in.chart = '3';
  int number = 0;
  ASSERT_TRUE(talvera::CreateMandant(in, &number));
  ASSERT_TRUE(OpenMandant(number));
  CompanyMaster master = CurrentCompanyMaster();
  master.nameExtra = "Großhandel für Bürobedarf";
  master.street = "Hafenstraße 1";
  master.phone = "040 123456";
  master.town = "20457 Hamburg";
  master.taxOfficeStreet = "Steuerweg 2";
  master.taxOfficeTown = "20095 Hamburg";
  master.federalState = 2;
  ASSERT_TRUE(SaveCompanyMaster(master));
  namespace p = layouts::personal;
  for (const CliPerson& person : people) {
    std::vector<char> r(p::kLayout.recordLength);
    layouts::InitRecord(p::kLayout, r.data());
    char account[8];
    std::snprintf(account, sizeof account, "%7s", person.number);
    layouts::SetRawText(r.data(), p::kAccountNo, account);
    layouts::SetText(r.data(), p::kShortCode, person.shortCode);
    layouts::SetText(r.data(), p::kName, person.name);
    layouts::SetText(r.data(), p::kCountry, person.country);
    layouts::SetText(r.data(), p::kVatId, person.vatId);
    AccountFile file = std::string(person.file) == "debi" ? AccountFile::kDebi : AccountFile::kKred;
    ASSERT_TRUE(SaveNewAccount(file, r.data(), false)) << person.number;
  }
  CloseAll();
  recman::Shutdown();  // the program's own process takes the books over
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TALVERA_TODAY", "31.03.2026", 1);
    ResetDayToday();
    std::ofstream(settings_ / "TALVI.INI") << "[TALVI]\nPfad=" << data_.path() << "\nLand=DE\n";
    ReadSettings();
    SetDataRoot(data_.path());
    for (const std::string& file : recman::ListFiles(TALVERA_CHARTS))
      ASSERT_EQ(recman::CopyFile(std::string(TALVERA_CHARTS) + "/" + file, data_.path() + "/" + file), recman::kOk);
    ASSERT_TRUE(ConvertMasterFile());
  }
  void TearDown() override {
    CloseAll();
    recman::Shutdown();
  }

  // Mandant 1 with its customers and vendors (CreateCliMandant).
  void CreateMandant(const std::vector<CliPerson>& people) { CreateCliMandant(people); }

  // Runs build/bin/talvi-cli with the arguments; standard output and error.
  CliResult Run(const std::vector<std::string>& args) {
    const char* bin = std::getenv("TALVERA_BIN");
    std::string command = std::string(bin ? bin : TALVERA_BIN_DIR) + "/talvi-cli";
    for (const std::string& a : args) command += " '" + a + "'";
    std::string errFile = settings_ / "stderr.txt";
    command += " 2>'" + errFile + "'";
    CliResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
    int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = ReadWhole(errFile);
    return result;
  }

  std::string WriteFile(const std::string& name, const std::string& text) {
    std::string path = data_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  TempSettingsDir settings_;
  TempDir data_;
  MessageRecorder messages_;
};

}  // namespace talvera::testing
