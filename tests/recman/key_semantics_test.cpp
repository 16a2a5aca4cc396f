// Key semantics: each row is a key definition with records inserted in a
// given order and the order key navigation must produce.
#include <functional>

#include "recman_fixture.h"

using namespace recman;
using namespace recman_test;

namespace {

constexpr uint16_t kLen = 16;  // byte 15 tags each record with its index

template <typename T>
Bytes WithValue(T value, size_t offset = 0) {
  Bytes record(kLen, 0);
  Put(&record, offset, value);
  return record;
}

Bytes WithText(const std::string& text, size_t offset = 0) {
  Bytes record(kLen, 0);
  PutText(&record, offset, text);
  return record;
}

Bytes TextAndInt16(const std::string& text, int16_t value) {
  Bytes record = WithText(text);
  Put(&record, 2, value);
  return record;
}

struct OrderCase {
  const char* name;
  KeyDef key;
  std::vector<Bytes> records;  // inserted in this order
  std::vector<int> order;      // expected ascending key order (indices into records)
};

std::vector<OrderCase> OrderCases() {
  return {
      {"string compares bytes", {{1, 4, kString}},
       {WithText("bb"), WithText("a"), WithText("ba"), WithText("b")}, {1, 3, 2, 0}},
      {"int16 signed with negatives", {{1, 2, kInteger}},
       {WithValue<int16_t>(5), WithValue<int16_t>(-3), WithValue<int16_t>(0),
        WithValue<int16_t>(-32768), WithValue<int16_t>(32767), WithValue<int16_t>(-1)},
       {3, 1, 5, 2, 0, 4}},
      {"int32 signed across byte boundaries", {{1, 4, kInteger}},
       {WithValue<int32_t>(1), WithValue<int32_t>(-1), WithValue<int32_t>(INT32_MIN),
        WithValue<int32_t>(100000), WithValue<int32_t>(256), WithValue<int32_t>(INT32_MAX)},
       {2, 1, 0, 4, 3, 5}},
      {"int64 signed", {{1, 8, kInteger}},
       {WithValue<int64_t>(-5), WithValue<int64_t>(int64_t(1) << 40), WithValue<int64_t>(0)},
       {0, 2, 1}},
      {"uint16 above the sign bit", {{1, 2, kUnsignedBinary}},
       {WithValue<uint16_t>(65535), WithValue<uint16_t>(0), WithValue<uint16_t>(256),
        WithValue<uint16_t>(1), WithValue<uint16_t>(32768)},
       {1, 3, 2, 4, 0}},
      {"uint32", {{1, 4, kUnsignedBinary}},
       {WithValue<uint32_t>(0xffffffffu), WithValue<uint32_t>(1), WithValue<uint32_t>(0x80000000u)},
       {1, 2, 0}},
      {"descending int32", {{1, 4, kInteger, kDescending}},
       {WithValue<int32_t>(1), WithValue<int32_t>(-7), WithValue<int32_t>(300)}, {2, 0, 1}},
      {"descending string", {{1, 4, kString, kDescending}},
       {WithText("a"), WithText("c"), WithText("b")}, {1, 2, 0}},
      {"segmented string ascending + int16 descending",
       {{1, 2, kString, kDuplicates}, {3, 2, kInteger, kDescending}},
       {TextAndInt16("a", 1), TextAndInt16("a", 5), TextAndInt16("b", 0), TextAndInt16("a", -2)},
       {1, 0, 3, 2}},
      {"duplicates keep insertion order", {{1, 4, kString, kDuplicates}},
       {WithText("x"), WithText("y"), WithText("x"), WithText("x"), WithText("a")},
       {4, 0, 2, 3, 1}},
      {"duplicates of a descending int key", {{1, 2, kInteger, kDuplicates | kDescending}},
       {WithValue<int16_t>(1), WithValue<int16_t>(2), WithValue<int16_t>(1)}, {1, 0, 2}},
  };
}

std::vector<int> Walk(RecordFile& file, const std::vector<Bytes>& records, uint16_t first,
                      uint16_t next) {
  std::vector<int> seen;
  Bytes record(kLen);
  for (int status = file.Get(first, &record, 0); status == kOk;
       status = file.Get(next, &record, 0))
    seen.push_back(record[15]);
  EXPECT_EQ(seen.size(), records.size());
  return seen;
}

}  // namespace

TEST(KeySemantics, NavigationFollowsKeyOrder) {
  for (const OrderCase& c : OrderCases()) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    std::string path = dir.path() + "/order.btr";
    ASSERT_EQ(Create(path, Definition(kLen, {c.key})), kOk);
    RecordFile file(path);
    ASSERT_EQ(file.openStatus, kOk);
    for (size_t i = 0; i < c.records.size(); ++i) {
      Bytes record = c.records[i];
      record[15] = uint8_t(i);
      ASSERT_EQ(file.Insert(&record), kOk);
    }
    EXPECT_EQ(Walk(file, c.records, kGetFirst, kGetNext), c.order);
    std::vector<int> reversed(c.order.rbegin(), c.order.rend());
    EXPECT_EQ(Walk(file, c.records, kGetLast, kGetPrevious), reversed);

    // GetEqual finds the first record of a key in key order.
    auto rawKey = [&](const Bytes& record) {
      Bytes raw;
      for (const Seg& s : c.key)
        raw.insert(raw.end(), record.begin() + s.position - 1,
                   record.begin() + s.position - 1 + s.length);
      return raw;
    };
    for (const Bytes& wanted : c.records) {
      int expected = -1;
      for (int index : c.order)
        if (expected < 0 && rawKey(c.records[size_t(index)]) == rawKey(wanted)) expected = index;
      Bytes record(kLen);
      ASSERT_EQ(file.Get(kGetEqual, &record, 0, rawKey(wanted)), kOk);
      EXPECT_EQ(record[15], expected);
    }
  }
}

struct WriteCase {
  const char* name;
  uint16_t flags;
  int16_t secondKey;
  int insertStatus;
  int16_t updateTo;  // the first record's key is changed to this
  int updateStatus;
};

TEST(KeySemantics, UniqueAndModifiableRules) {
  const WriteCase cases[] = {
      {"unique refuses an equal key on insert", kModifiable, 1, kDuplicateKey, 3, kOk},
      {"unique refuses an update onto another record's key", kModifiable, 2, kOk, 2,
       kDuplicateKey},
      {"duplicates accept equal keys", kDuplicates | kModifiable, 1, kOk, 2, kOk},
      {"non-modifiable key refuses a change", kDuplicates, 2, kOk, 3, kModifiableKeyChanged},
      {"non-modifiable key allows other fields to change", kDuplicates, 2, kOk, 1, kOk},
  };
  for (const WriteCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    std::string path = dir.path() + "/rules.btr";
    ASSERT_EQ(Create(path, Definition(kLen, {{{1, 2, kInteger, c.flags}}})), kOk);
    RecordFile file(path);
    Bytes first = WithValue<int16_t>(1), second = WithValue<int16_t>(c.secondKey);
    ASSERT_EQ(file.Insert(&first), kOk);
    EXPECT_EQ(file.Insert(&second), c.insertStatus);
    EXPECT_EQ(file.Count(), c.insertStatus == kOk ? 2u : 1u);

    Bytes record(kLen);
    ASSERT_EQ(file.Get(kGetEqual, &record, 0, WithValue<int16_t>(1)), kOk);
    Put<int16_t>(&record, 0, c.updateTo);
    record[10] = 0x77;
    EXPECT_EQ(file.Update(&record), c.updateStatus);
    // A refused update leaves the stored record as it was.
    Bytes stored(kLen);
    int16_t expectedKey = c.updateStatus == kOk ? c.updateTo : 1;
    ASSERT_EQ(file.Get(kGetEqual, &stored, 0, WithValue<int16_t>(expectedKey)), kOk);
    EXPECT_EQ(stored[10], c.updateStatus == kOk ? 0x77 : 0);
  }
}

TEST(KeySemantics, AutoIncrementFillsZeroWithMaxPlusOne) {
  TempDir dir;
  std::string path = dir.path() + "/auto.btr";
  ASSERT_EQ(Create(path, Definition(kLen, {{{5, 4, kAutoIncrement}}, {{1, 4, kString, kDuplicates}}})),
            kOk);
  RecordFile file(path);
  auto insert = [&](int32_t value) {
    Bytes record(kLen, 0);
    Put<int32_t>(&record, 4, value);
    EXPECT_EQ(file.Insert(&record), kOk);
    // The filled value comes back in the caller's record and in the key buffer.
    int32_t fromKey;
    memcpy(&fromKey, file.key, 4);
    EXPECT_EQ(fromKey, Take<int32_t>(record, 4));
    return Take<int32_t>(record, 4);
  };
  EXPECT_EQ(insert(0), 1);
  EXPECT_EQ(insert(0), 2);
  EXPECT_EQ(insert(10), 10);
  EXPECT_EQ(insert(0), 11);
  Bytes record(kLen);
  ASSERT_EQ(file.Get(kGetLast, &record, 0), kOk);
  ASSERT_EQ(file.Delete(), kOk);
  EXPECT_EQ(insert(0), 11);
  // A failed insert does not touch the caller's record.
  Bytes duplicate(kLen, 0);
  Put<int32_t>(&duplicate, 4, 2);
  EXPECT_EQ(file.Insert(&duplicate), kDuplicateKey);
}

TEST(KeySemantics, KeyBufferHoldsTheCurrentRecordsKey) {
  TempDir dir;
  std::string path = dir.path() + "/keys.btr";
  ASSERT_EQ(Create(path, Definition(kLen, {{{1, 2, kInteger}},
                                     {{9, 3, kString, kDuplicates}, {3, 2, kInteger}}})),
            kOk);
  RecordFile file(path);
  Bytes record(kLen, 0);
  Put<int16_t>(&record, 0, 7);
  Put<int16_t>(&record, 2, -2);
  PutText(&record, 8, "abc");
  ASSERT_EQ(file.Insert(&record, 1), kOk);
  // Key 1 is "abc" followed by the int16 -2, as the segments lie in the record.
  EXPECT_EQ(Bytes(file.key, file.key + 5), Bytes({'a', 'b', 'c', 0xfe, 0xff}));
  Bytes read(kLen);
  ASSERT_EQ(file.Get(kGetFirst, &read, 0), kOk);
  EXPECT_EQ(Take<int16_t>(Bytes(file.key, file.key + 2), 0), 7);
}
