// Files created from the layouts in a real temporary data directory: their
// keys as declared, the rows a new file holds, and the orders the keys give.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/layouts/create_file.h"
#include "core/layouts/layouts.h"
#include "core/message_recorder.h"
#include "core/period_date.h"
#include "core/record_store.h"
#include "recman/recman.h"
#include "support/temp_dir.h"

namespace talvera::layouts {
namespace {

class CreatedFiles : public ::testing::Test {
 protected:
  void SetUp() override { SetDataRoot(data_.path()); }
  void TearDown() override {
    CloseAll();
    recman::Shutdown();
  }

  std::string Path(const std::string& name) { return data_ / (name + ".btr"); }

  // Opens a new file of the layout in the scratch slot.
  void Create(const Layout& layout, const std::string& name) {
    ASSERT_TRUE(CreateFile(layout, data_.path(), name));
    ASSERT_TRUE(OpenPath(Path(name), kSlotScratch));
  }

  void Insert(std::vector<char>& record) {
    ASSERT_TRUE(talvera::Insert(record.data(), MakeFileId(kSlotScratch, 0)));
  }

  // The values of a field of every record, in the order of a key.
  std::vector<std::string> InKeyOrder(const Layout& layout, int key, const Field& field) {
    std::vector<std::string> values;
    std::vector<char> r(layout.recordLength);
    bool found = false;
    FileId id = MakeFileId(kSlotScratch, key);
    for (bool ok = GetFirstFound(r.data(), found, id); ok && found;
         ok = GetNextFound(r.data(), found, id))
      values.push_back(field.kind == FieldKind::kAutoId || field.kind == FieldKind::kInt16
                           ? std::to_string(GetNumber(r.data(), field))
                           : GetText(r.data(), field));
    return values;
  }

  testing::TempSettingsDir settings_;
  testing::TempDir data_;
  MessageRecorder messages_;
};

// The definition the record manager reports back for an open file.
std::vector<unsigned char> StatOf(const std::string& path) {
  unsigned char position[recman::kPositionBlockSize] = {};
  std::vector<char> name(path.begin(), path.end());
  name.push_back('\0');
  uint32_t length = 0;
  if (recman::Call(recman::kOpen, position, nullptr, &length, name.data(), 255, 0) != 0) return {};
  std::vector<unsigned char> stat(16 + 16 * 64);
  length = static_cast<uint32_t>(stat.size());
  char key[256] = {};
  int status = recman::Call(recman::kStat, position, stat.data(), &length, key, 255, 0);
  recman::Call(recman::kClose, position, nullptr, &length, key, 255, 0);
  if (status != 0) return {};
  stat.resize(length);
  return stat;
}

TEST_F(CreatedFiles, EveryFileCanBeCreatedWithExactlyItsDeclaredKeys) {
  for (const Layout* layout : AllLayouts()) {
    for (const char* file : layout->files) {
      SCOPED_TRACE(file);
      ASSERT_TRUE(CreateFile(data_.path() + "/", file));  // trailing separator is fine
      std::vector<unsigned char> expected = FileDefinition(*layout);
      std::vector<unsigned char> stat = StatOf(Path(file));
      ASSERT_EQ(stat.size(), expected.size());
      std::memset(stat.data() + 6, 0, 4);  // record count, which stat fills in
      EXPECT_EQ(stat, expected);
    }
  }
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(CreatedFiles, CreateOverwritesAndFailsForAnUnknownName) {
  ASSERT_TRUE(CreateFile(data_.path(), "butext"));
  ASSERT_TRUE(CreateFile(data_.path(), "butext"));  // rows are not doubled
  ASSERT_TRUE(OpenPath(Path("butext"), kSlotScratch));
  EXPECT_EQ(RecordCount(kSlotScratch), 13);
  EXPECT_FALSE(CreateFile(data_.path(), "nosuchfile"));
  int status = 0;
  EXPECT_FALSE(CreateFile(sako::kLayout, data_ / "missing/dir", "sako", &status));
  EXPECT_NE(status, 0);
}

TEST_F(CreatedFiles, BookingTextsHoldTheirThirteenRowsInOrder) {
  ASSERT_TRUE(CreateFile(data_.path(), "butext"));
  ASSERT_TRUE(OpenPath(Path("butext"), kSlotScratch));
  EXPECT_EQ(InKeyOrder(butext::kLayout, 1, butext::kText),
            (std::vector<std::string>{"Zahlung", "Telefon", "Sonstiges", "Bürobedarf",
                                      "Barabhebung", "Reisekosten", "Zeitschriften",
                                      "Postwertzeichen", "Ausgangsrechnung", "Eingangsrechnung",
                                      "Kraftstoff", "Reisekosten", "Werbung"}));
}

TEST_F(CreatedFiles, TemplatesAndBatchesHoldTheirRows) {
  ASSERT_TRUE(CreateFile(data_.path(), "buscha"));
  ASSERT_TRUE(OpenPath(Path("buscha"), kSlotScratch));
  EXPECT_EQ(InKeyOrder(buscha::kLayout, 0, buscha::kDebitAccount),
            (std::vector<std::string>{"Kasse", "Kasse", "War.ein", "<Debi>", "War.ein", "Bank",
                                      "<Kred>"}));
  EXPECT_EQ(InKeyOrder(buscha::kLayout, 0, buscha::kText)[6], "Zahlungsausgang");
  CloseSlot(kSlotScratch);

  Create(stapel::kLayout, "stapel");
  EXPECT_EQ(InKeyOrder(stapel::kLayout, 0, stapel::kName),
            (std::vector<std::string>{"OP-Ausgleich Kreditoren", "Standardstapel"}));
  EXPECT_EQ(InKeyOrder(stapel::kLayout, 0, stapel::kBatchNo),
            (std::vector<std::string>{"15", "16"}));
  std::vector<char> r(64);
  InitRecord(stapel::kLayout, r.data());
  SetText(r.data(), stapel::kName, "Eigener Stapel");
  Insert(r);  // the record manager numbers it after the default rows
  EXPECT_EQ(GetNumber(r.data(), stapel::kBatchNo), 17);
}

TEST_F(CreatedFiles, JournalListsByDateAndNewestFirst) {
  Create(bube::kLayout, "bube");
  std::vector<char> r(bube::kLayout.recordLength);
  for (const char* key : {"1602150001", "1601050002", "1603010001", "1601050001"}) {
    InitRecord(bube::kLayout, r.data());
    SetRawText(r.data(), bube::kPostingKey, key);
    Insert(r);
  }
  EXPECT_EQ(InKeyOrder(bube::kLayout, 0, bube::kPostingKey),
            (std::vector<std::string>{"1601050001", "1601050002", "1602150001", "1603010001"}));
  EXPECT_EQ(InKeyOrder(bube::kLayout, 4, bube::kPostingKey),
            (std::vector<std::string>{"1603010001", "1602150001", "1601050002", "1601050001"}));
  EXPECT_EQ(InKeyOrder(bube::kLayout, 5, bube::kPostingNo),
            (std::vector<std::string>{"1", "2", "3", "4"}));
}

TEST_F(CreatedFiles, RatesOfACurrencyListByDateAcrossTheYearEnd) {
  Create(kurse::kLayout, "kurse");
  std::vector<char> r(kurse::kLayout.recordLength);
  // 31.12.1996 and 01.01.1997 (period dates 311216, 010117); by their day
  // first they would sort the wrong way round.
  for (const char* date : {"010117", "311216", "010116"}) {
    InitRecord(kurse::kLayout, r.data());
    SetText(r.data(), kurse::kCurrency, "USD");
    PeriodDate d;
    std::strcpy(d, date);
    ToSortDate(d);
    SetRawText(r.data(), kurse::kValidFrom, d);
    Insert(r);
  }
  InitRecord(kurse::kLayout, r.data());
  SetText(r.data(), kurse::kCurrency, "CHF");
  SetRawText(r.data(), kurse::kValidFrom, "170101");
  Insert(r);
  EXPECT_EQ(InKeyOrder(kurse::kLayout, 0, kurse::kValidFrom),
            (std::vector<std::string>{"170101", "160101", "161231", "170101"}));
  EXPECT_EQ(InKeyOrder(kurse::kLayout, 0, kurse::kCurrency),
            (std::vector<std::string>{"CHF", "USD", "USD", "USD"}));
}

TEST_F(CreatedFiles, OpenItemsOfAllAccountsByDueDate) {
  Create(open_item::kLayout, "opdebi");
  const struct {
    const char* account;
    const char* value;
    const char* due;
  } items[] = {{"  10001", "170105", "170120"}, {"  10000", "170201", "170301"},
               {"  10002", "170101", "170110"}, {"  10000", "170110", "170115"}};
  std::vector<char> r(open_item::kLayout.recordLength);
  for (const auto& item : items) {
    InitRecord(open_item::kLayout, r.data());
    SetText(r.data(), open_item::kAccountNo, item.account);
    SetText(r.data(), open_item::kValueDate, item.value);
    SetText(r.data(), open_item::kDueDate, item.due);
    SetText(r.data(), open_item::kVoucherNo, "R1");
    Insert(r);
  }
  EXPECT_EQ(InKeyOrder(open_item::kLayout, 3, open_item::kAccountNo),
            (std::vector<std::string>{"  10002", "  10000", "  10001", "  10000"}));
  // An account's items by value date.
  EXPECT_EQ(InKeyOrder(open_item::kLayout, 1, open_item::kValueDate),
            (std::vector<std::string>{"170110", "170201", "170105", "170101"}));
}

TEST_F(CreatedFiles, UniqueAndUnchangeableKeysAreKept) {
  Create(user::kLayout, "user");
  std::vector<char> r(user::kLayout.recordLength);
  InitRecord(user::kLayout, r.data());
  SetText(r.data(), user::kName, "Müller");
  Insert(r);
  InitRecord(user::kLayout, r.data());
  SetText(r.data(), user::kName, "Müller");
  EXPECT_FALSE(talvera::Insert(r.data(), MakeFileId(kSlotScratch, 0)));
  EXPECT_EQ(LastStatus(), recman::kDuplicateKey);
  // A user may be renamed (K1 is modifiable).
  bool found = false;
  ASSERT_TRUE(GetFirstFound(r.data(), found, MakeFileId(kSlotScratch, 1)));
  SetText(r.data(), user::kName, "Meier");
  EXPECT_TRUE(Update(r.data(), MakeFileId(kSlotScratch, 1)));
  CloseSlot(kSlotScratch);

  // A Mandant keeps its number.
  Create(fista::kLayout, "fista");
  std::vector<char> f(fista::kLayout.recordLength);
  InitRecord(fista::kLayout, f.data());
  SetNumber(f.data(), fista::kMandantNo, 1);
  Insert(f);
  ASSERT_TRUE(GetFirstFound(f.data(), found, MakeFileId(kSlotScratch, 0)));
  SetNumber(f.data(), fista::kMandantNo, 2);
  EXPECT_FALSE(Update(f.data(), MakeFileId(kSlotScratch, 0)));
  EXPECT_EQ(LastStatus(), recman::kModifiableKeyChanged);
  messages_.Clear();
}

}  // namespace
}  // namespace talvera::layouts
