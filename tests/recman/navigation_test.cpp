// Cursor behaviour: duplicates in both directions, continuing after other
// writes, positions, statistics, creation and supplementary keys.
#include "recman_fixture.h"

using namespace recman;
using namespace recman_test;

namespace {

constexpr uint16_t kLen = 12;

// Record: int16 group at 0 (key 1, duplicates), int32 id at 4 (key 0, unique).
Bytes Row(int32_t id, int16_t group) {
  Bytes record(kLen, 0);
  Put(&record, 0, group);
  Put(&record, 4, id);
  return record;
}

Bytes GroupKey(int16_t group) { return Row(0, group); }

Bytes IdKey(int32_t id) {
  Bytes key(4);
  Put(&key, 0, id);
  return key;
}

class Navigation : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dir.path() + "/nav.btr";
    ASSERT_EQ(Create(path, Definition(kLen, {{{5, 4, kInteger}},
                                       {{1, 2, kInteger, kDuplicates | kModifiable}}})),
              kOk);
    file = std::make_unique<RecordFile>(path);
    ASSERT_EQ(file->openStatus, kOk);
  }
  void Insert(int32_t id, int16_t group) {
    Bytes record = Row(id, group);
    ASSERT_EQ(file->Insert(&record), kOk);
  }
  // Ids met by repeating op on key 1; the first read is given.
  std::vector<int32_t> Follow(uint16_t op, int steps) {
    std::vector<int32_t> ids;
    Bytes record(kLen);
    for (int i = 0; i < steps && file->Get(op, &record, 1) == kOk; ++i)
      ids.push_back(Take<int32_t>(record, 4));
    return ids;
  }
  int32_t Read(uint16_t op, int keyNumber, const Bytes& key = {}) {
    Bytes record(kLen);
    int status = file->Get(op, &record, keyNumber, key);
    return status == kOk ? Take<int32_t>(record, 4) : -status;
  }

  TempDir dir;
  std::string path;
  std::unique_ptr<RecordFile> file;
};

}  // namespace

TEST_F(Navigation, DuplicatesInBothDirections) {
  Insert(1, 10);
  Insert(2, 20);
  Insert(3, 10);
  Insert(4, 30);
  Insert(5, 10);
  Insert(6, 20);
  // Key order: 10:1,3,5  20:2,6  30:4
  EXPECT_EQ(Read(kGetEqual, 1, GroupKey(20)), 2);
  EXPECT_EQ(Follow(kGetNext, 10), (std::vector<int32_t>{6, 4}));
  EXPECT_EQ(Follow(kGetPrevious, 10), (std::vector<int32_t>{6, 2, 5, 3, 1}));
  // Turning round inside a run of duplicates.
  EXPECT_EQ(Read(kGetEqual, 1, GroupKey(10)), 1);
  EXPECT_EQ(Follow(kGetNext, 2), (std::vector<int32_t>{3, 5}));
  EXPECT_EQ(Follow(kGetPrevious, 1), (std::vector<int32_t>{3}));
  EXPECT_EQ(Follow(kGetNext, 1), (std::vector<int32_t>{5}));
  EXPECT_EQ(Read(kGetLast, 1), 4);
  EXPECT_EQ(Follow(kGetNext, 1), std::vector<int32_t>{});  // end of file
  EXPECT_EQ(Read(kGetLessOrEqual, 1, GroupKey(20)), 6);
  EXPECT_EQ(Read(kGetGreaterOrEqual, 1, GroupKey(11)), 2);
  EXPECT_EQ(Read(kGetGreater, 1, GroupKey(10)), 2);
  EXPECT_EQ(Read(kGetLess, 1, GroupKey(20)), 5);
  EXPECT_EQ(Read(kGetEqual, 1, GroupKey(15)), -kKeyNotFound);
  EXPECT_EQ(Read(kGetGreater, 1, GroupKey(30)), -kEndOfFile);
}

// GetNext and GetPrevious read ahead in batches that grow as a scan goes
// on and, on a key with duplicates, end with their run until the caller
// reads on past it. Whatever the batches, a scan meets every record once,
// in key order, from any start and in both directions.
TEST_F(Navigation, LongScansMeetEveryRecordOnceInKeyOrder) {
  // Runs shorter than, as long as and longer than a batch, then single ones.
  std::vector<int> sizes = {1, 8, 9, 25, 1, 1, 70, 2, 600, 3};
  sizes.resize(sizes.size() + 40, 1);
  std::vector<int16_t> groups;
  for (size_t g = 0; g < sizes.size(); ++g) groups.push_back(int16_t(3 * g + 1));
  // Inserted in turn, so that the records of one run lie all over the file.
  std::vector<std::vector<int32_t>> runs(groups.size());
  int32_t id = 0;
  ASSERT_EQ(Begin(), kOk);
  for (bool more = true; more;) {
    more = false;
    for (size_t g = 0; g < groups.size(); ++g) {
      if (runs[g].size() == size_t(sizes[g])) continue;
      Insert(++id, groups[g]);
      runs[g].push_back(id);
      more = true;
    }
  }
  ASSERT_EQ(End(), kOk);
  std::vector<int32_t> all;
  for (const std::vector<int32_t>& run : runs) all.insert(all.end(), run.begin(), run.end());
  auto reversed = [](std::vector<int32_t> v) { return std::vector<int32_t>(v.rbegin(), v.rend()); };

  std::vector<int32_t> forward{Read(kGetFirst, 1)};
  for (int32_t next : Follow(kGetNext, id)) forward.push_back(next);
  std::vector<int32_t> backward{Read(kGetLast, 1)};
  for (int32_t previous : Follow(kGetPrevious, id)) backward.push_back(previous);
  EXPECT_EQ(forward, all);
  EXPECT_EQ(backward, reversed(all));

  size_t before = 0;  // records of the runs before run g
  for (size_t g = 0; g < groups.size(); ++g) {
    SCOPED_TRACE("run of group " + std::to_string(groups[g]));
    // One key value's records, as a caller reads them, then on to the end.
    Bytes record(kLen);
    int status = file->Get(kGetEqual, &record, 1, GroupKey(groups[g]));
    std::vector<int32_t> run;
    while (status == kOk && Take<int16_t>(record, 0) == groups[g]) {
      run.push_back(Take<int32_t>(record, 4));
      status = file->Get(kGetNext, &record, 1);
    }
    EXPECT_EQ(run, runs[g]);
    std::vector<int32_t> rest;
    if (status == kOk) rest.push_back(Take<int32_t>(record, 4));
    for (int32_t next : Follow(kGetNext, id)) rest.push_back(next);
    EXPECT_EQ(rest, std::vector<int32_t>(all.begin() + long(before + run.size()), all.end()));
    // From the run's last record back to the start.
    std::vector<int32_t> back{Read(kGetLessOrEqual, 1, GroupKey(groups[g]))};
    for (int32_t previous : Follow(kGetPrevious, id)) back.push_back(previous);
    EXPECT_EQ(back, reversed(std::vector<int32_t>(all.begin(), all.begin() + long(before + runs[g].size()))));
    before += runs[g].size();
  }
}

TEST_F(Navigation, ContinuesAfterInsertsAndDeletesAroundTheCursor) {
  for (int32_t id = 1; id <= 4; ++id) Insert(id, 10);
  EXPECT_EQ(Read(kGetEqual, 1, GroupKey(10)), 1);
  EXPECT_EQ(Follow(kGetNext, 1), std::vector<int32_t>{2});
  // Delete the current record, then continue: the next duplicate follows.
  ASSERT_EQ(file->Delete(), kOk);
  EXPECT_EQ(file->Delete(), kInvalidPositioning);  // no current record any more
  // Another handle deletes the record that would come next and adds a
  // duplicate at the end of the run.
  RecordFile other(path);
  EXPECT_EQ(Read(kGetNext, 0) , -kDifferentKeyNumber);
  Bytes record(kLen);
  ASSERT_EQ(other.Get(kGetEqual, &record, 0, IdKey(3)), kOk);
  ASSERT_EQ(other.Delete(), kOk);
  record = Row(9, 10);
  ASSERT_EQ(other.Insert(&record), kOk);
  EXPECT_EQ(Follow(kGetNext, 10), (std::vector<int32_t>{4, 9}));
  EXPECT_EQ(Follow(kGetPrevious, 10), (std::vector<int32_t>{4, 1}));
}

TEST_F(Navigation, PositionAndDirectReadSwitchTheKeyOrder) {
  Insert(1, 30);
  Insert(2, 10);
  Insert(3, 20);
  EXPECT_EQ(Read(kGetEqual, 0, IdKey(3)), 3);
  Bytes position(4);
  uint32_t length = 4;
  ASSERT_EQ(Call(kGetPosition, file->block, position.data(), &length, file->key, 255, 0), kOk);
  EXPECT_EQ(Read(kGetFirst, 0), 1);
  // Back to record 3, now in key 1 order: group 20 is followed by group 30.
  Bytes record(kLen);
  memcpy(record.data(), position.data(), 4);
  ASSERT_EQ(file->Op(kGetDirect, &record, 1), kOk);
  EXPECT_EQ(Take<int32_t>(record, 4), 3);
  EXPECT_EQ(Take<int16_t>(Bytes(file->key, file->key + 2), 0), 20);
  EXPECT_EQ(Follow(kGetNext, 5), std::vector<int32_t>{1});
  Bytes nowhere(kLen, 0);
  Put<uint32_t>(&nowhere, 0, 999);
  EXPECT_EQ(file->Op(kGetDirect, &nowhere, 1), kInvalidRecordAddress);
}

TEST_F(Navigation, StatReturnsTheFileDefinitionAndCount) {
  Insert(1, 1);
  Insert(2, 1);
  Bytes stat(16 + 16 * 8);
  ASSERT_EQ(file->Op(kStat, &stat, 0), kOk);
  Bytes expected = Definition(kLen, {{{5, 4, kInteger}}, {{1, 2, kInteger, kDuplicates | kModifiable}}});
  Put<uint32_t>(&expected, 6, 2);  // record count
  ASSERT_EQ(file->length, expected.size());
  EXPECT_EQ(Bytes(stat.begin(), stat.begin() + file->length), expected);
  Bytes tooSmall(20);
  EXPECT_EQ(file->Op(kStat, &tooSmall, 0), kDataBufferTooShort);
}

TEST_F(Navigation, LengthsAndPositioningAreChecked) {
  Bytes shortRecord(kLen - 1, 0), longRecord(kLen + 1, 0);
  EXPECT_EQ(file->Insert(&shortRecord), kDataBufferTooShort);
  EXPECT_EQ(file->Insert(&longRecord), kDataBufferTooShort);
  EXPECT_EQ(file->Count(), 0u);
  Insert(1, 1);
  Bytes small(kLen - 1);
  EXPECT_EQ(file->Get(kGetFirst, &small, 0), kDataBufferTooShort);
  Bytes record(kLen);
  EXPECT_EQ(file->Get(kGetFirst, &record, 7), kInvalidKeyNumber);
  RecordFile fresh(path);
  EXPECT_EQ(fresh.Get(kGetNext, &record, 0), kInvalidPositioning);
  EXPECT_EQ(fresh.Update(&record), kInvalidPositioning);
  ASSERT_EQ(file->Close(), kOk);
  EXPECT_EQ(file->Get(kGetFirst, &record, 0), kFileNotOpen);
  uint8_t garbage[kPositionBlockSize];
  memset(garbage, 0x5a, sizeof garbage);
  uint32_t length = kLen;
  EXPECT_EQ(Call(kGetFirst, garbage, record.data(), &length, file->key, 255, 0), kFileNotOpen);
}

TEST_F(Navigation, ReadOnlyOpenRefusesWrites) {
  RecordFile reader(path, -2);
  Bytes record = Row(1, 1);
  EXPECT_EQ(reader.Insert(&record), kAccessDenied);
}

TEST(Create, OverwriteOrRefuse) {
  TempDir dir;
  std::string path = dir.path() + "/Fista.BTR";
  Bytes definition = Definition(kLen, {{{1, 2, kInteger}}});
  ASSERT_EQ(Create(path, definition, false), kOk);
  {
    RecordFile file(dir.path() + "/fista.btr");  // names are case-insensitive
    Bytes record = Row(1, 1);
    ASSERT_EQ(file.Insert(&record), kOk);
  }
  EXPECT_EQ(Create(path, definition, false), kFileExists);
  EXPECT_EQ(RecordFile(path).Count(), 1u);
  ASSERT_EQ(Create(path, definition, true), kOk);
  EXPECT_EQ(RecordFile(path).Count(), 0u);
}

TEST(Create, RefusesUnsoundDefinitions) {
  TempDir dir;
  struct Case {
    const char* name;
    Bytes definition;
    int status;
  };
  Bytes truncated = Definition(kLen, {{{1, 2, kInteger}}});
  truncated.resize(20);
  const Case cases[] = {
      {"key beyond the record", Definition(kLen, {{{11, 4, kString}}}), kInvalidKeyPosition},
      {"key at position 0", Definition(kLen, {{{0, 4, kString}}}), kInvalidKeyPosition},
      {"integer of three bytes", Definition(kLen, {{{1, 3, kInteger}}}), kInvalidKeyType},
      {"unknown type", Definition(kLen, {{{1, 4, 2 /* float */}}}), kInvalidKeyType},
      {"auto-increment in a segmented key", Definition(kLen, {{{1, 4, kAutoIncrement}, {5, 2, kString}}}),
       kInvalidKeyType},
      {"fewer key parts than keys", truncated, kInvalidKeyPosition},
      {"record length zero", Definition(0, {}), kInvalidRecordLength},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Create(dir.path() + "/bad.btr", c.definition), c.status);
    EXPECT_FALSE(FileExists(dir.path() + "/bad.btr"));
  }
  EXPECT_EQ(Create(dir.path() + "/missing/x.btr", Definition(kLen, {{{1, 2, kInteger}}})),
            kDirectoryError);
  RecordFile missing(dir.path() + "/none.btr");
  EXPECT_EQ(missing.openStatus, kFileNotFound);
}

TEST(SupplementalKey, IsBuiltFromExistingRecords) {
  TempDir dir;
  std::string path = dir.path() + "/supp.btr";
  ASSERT_EQ(Create(path, Definition(kLen, {{{5, 4, kInteger}}})), kOk);
  RecordFile file(path);
  for (auto [id, group] : {std::pair{1, 30}, {2, 10}, {3, 20}, {4, 10}}) {
    Bytes record = Row(id, int16_t(group));
    ASSERT_EQ(file.Insert(&record), kOk);
  }
  // A unique key over duplicate values is refused and leaves the file as it was.
  Bytes unique = Definition(kLen, {{{1, 2, kInteger}}});
  uint32_t length = 16;
  EXPECT_EQ(Call(kCreateSupplementalIndex, file.block, unique.data() + 16, &length, file.key, 255,
                 0),
            kDuplicateKey);
  Bytes record(kLen);
  EXPECT_EQ(file.Get(kGetFirst, &record, 1), kInvalidKeyNumber);

  Bytes dup = Definition(kLen, {{{1, 2, kInteger, kDuplicates}}});
  length = 16;
  ASSERT_EQ(Call(kCreateSupplementalIndex, file.block, dup.data() + 16, &length, file.key, 255, 0),
            kOk);
  std::vector<int32_t> ids;
  for (int s = file.Get(kGetFirst, &record, 1); s == kOk; s = file.Get(kGetNext, &record, 1))
    ids.push_back(Take<int32_t>(record, 4));
  EXPECT_EQ(ids, (std::vector<int32_t>{2, 4, 3, 1}));
  // Later inserts maintain the new key, and a reopened file knows it.
  Bytes added = Row(5, 15);
  ASSERT_EQ(file.Insert(&added), kOk);
  Shutdown();
  RecordFile reopened(path);
  ASSERT_EQ(reopened.Get(kGetEqual, &record, 1, GroupKey(15)), kOk);
  EXPECT_EQ(Take<int32_t>(record, 4), 5);
  Bytes stat(16 + 16 * 4);
  ASSERT_EQ(reopened.Op(kStat, &stat, 0), kOk);
  EXPECT_EQ(Take<uint16_t>(stat, 4), 2);  // key count
  EXPECT_TRUE(Take<uint16_t>(stat, 32 + 4) & kSupplemental);
}
