// The writer's files read back through the reader, value for value, for every field type.
#include "ads_test_support.h"
#include "core/Error.h"
#include "platform/ads/AdtTable.h"

#include <gtest/gtest.h>

namespace quillory::ads {
namespace {
using namespace test;

Value timeOfDay(int h, int m, int s, int ms) {
    Value v;
    v.kind = Value::Kind::Time;
    v.dateTime = {1899, 12, 30, h, m, s, ms};
    return v;
}

Value bytes(std::string b) {
    Value v = Value::ofText(std::move(b));
    v.kind = Value::Kind::Bytes;
    return v;
}

std::string allBytes(std::size_t size) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        s[i] = char(i * 7);
    return s;
}

struct RoundTrip {
    FieldSpec field;
    Value value;
    Value::Kind kind; // as read back
    std::string text; // displayText of the value read back
};

TEST(AdsWriter, EveryTypeAndNullReadsBack) {
    const std::string memo = allBytes(100'000);
    const std::vector<RoundTrip> cases = {
        {{"Name", FieldType::Character, 20},
         text("M\xfcller |^&~\\"),
         Value::Kind::Text,
         "M\xfcller |^&~\\"},
        {{"Padded", FieldType::Character, 8}, text(" x  "), Value::Kind::Text, " x"},
        {{"Empty", FieldType::Character, 4}, text(""), Value::Kind::Text, ""},
        {{"Kind", FieldType::CiCharacter, 10}, text("MiXeD"), Value::Kind::Text, "MiXeD"},
        {{"Wide", FieldType::NCharacter, 20},
         text("Gr\xc3\xbc\xc3\x9f"
              "e"),
         Value::Kind::Text,
         "Gr\xc3\xbc\xc3\x9f"
         "e"},
        {{"Amount", FieldType::Numeric, 8, 2}, Value::ofReal(-12.5), Value::Kind::Real, "-12.5"},
        {{"Count", FieldType::Numeric, 6}, Value::ofInteger(-42), Value::Kind::Integer, "-42"},
        {{"Ok", FieldType::Logical}, Value::ofLogical(true), Value::Kind::Logical, "T"},
        {{"No", FieldType::Logical}, Value::ofLogical(false), Value::Kind::Logical, "F"},
        {{"Born", FieldType::Date}, Value::ofDate(2011, 10, 18), Value::Kind::Date, "2011-10-18"},
        {{"Early", FieldType::Date}, Value::ofDate(1, 1, 1), Value::Kind::Date, "0001-01-01"},
        {{"At", FieldType::Time}, timeOfDay(13, 45, 10, 250), Value::Kind::Time, "13:45:10.250"},
        {{"Changed", FieldType::Timestamp},
         stamp(2011, 10, 18, 15, 30, 45, 500),
         Value::Kind::Timestamp,
         "2011-10-18 15:30:45.500"},
        {{"Touched", FieldType::ModTime},
         stamp(2000, 2, 29, 23, 59, 59, 999),
         Value::Kind::Timestamp,
         "2000-02-29 23:59:59.999"},
        {{"N", FieldType::Integer},
         Value::ofInteger(-2147483647),
         Value::Kind::Integer,
         "-2147483647"},
        {{"S", FieldType::ShortInteger}, Value::ofInteger(-32767), Value::Kind::Integer, "-32767"},
        {{"Id", FieldType::AutoIncrement},
         Value::ofInteger(4000000000),
         Value::Kind::Integer,
         "4000000000"},
        {{"Version", FieldType::RowVersion},
         Value::ofInteger(1234567890123),
         Value::Kind::Integer,
         "1234567890123"},
        {{"D", FieldType::Double}, Value::ofReal(-0.125), Value::Kind::Real, "-0.125"},
        {{"C", FieldType::CurrencyDouble}, Value::ofReal(19.99), Value::Kind::Real, "19.99"},
        {{"Fee", FieldType::Money}, Value::ofReal(123.4567), Value::Kind::Real, "123.4567"},
        {{"Note", FieldType::Memo}, text(memo), Value::Kind::Text, memo},
        {{"Blank", FieldType::Memo}, text(""), Value::Kind::Text, ""},
        {{"Blob", FieldType::Binary},
         bytes(std::string("\0\1\2", 3)),
         Value::Kind::Bytes,
         std::string("\0\1\2", 3)},
        {{"Picture", FieldType::Image}, bytes("GIF89a"), Value::Kind::Bytes, "GIF89a"},
    };
    TempFolder folder;
    for (const RoundTrip& c : cases) {
        SCOPED_TRACE(c.field.name);
        const std::string path = folder.file(c.field.name + ".adt");
        writeTable(path, {c.field}, {{c.value}, {Value::null()}});
        const AdtTable table(path);
        Record record;
        ASSERT_TRUE(table.read(0, record));
        const Value read = record.value(0);
        EXPECT_EQ(read.kind, c.kind);
        EXPECT_EQ(displayText(read), c.text);
        EXPECT_FALSE(record.isNull(0));
        ASSERT_TRUE(table.read(1, record));
        const bool numbered =
            c.field.type == FieldType::AutoIncrement || c.field.type == FieldType::RowVersion;
        EXPECT_EQ(record.isNull(0), !numbered);
        EXPECT_EQ(record.value(0).isNull(), !numbered);
    }
}

TEST(AdsWriter, NullAutoincrementAndRowVersionAreNumbered) {
    TempFolder folder;
    const std::string path = folder.file("t.adt");
    writeTable(path, {{"Id", FieldType::AutoIncrement}, {"V", FieldType::RowVersion}},
               {{Value::null(), Value::null()},
                {Value::ofInteger(10), Value::null()},
                {Value::null(), Value::null()}});
    const AdtTable table(path);
    Record record;
    std::vector<std::string> ids;
    for (std::uint32_t slot = 0; slot < table.slotCount(); ++slot) {
        table.read(slot, record);
        ids.push_back(record.text(0) + "/" + record.text(1));
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"1/1", "10/2", "11/3"}));
}

TEST(AdsWriter, DeletedRecordsAreMarkedAndLiveOnesUseTheCurrentPrefix) {
    TempFolder folder;
    const std::string path = folder.file("t.adt");
    writeTable(path, {{"Name", FieldType::Character, 4}}, {{text("a")}, {text("b")}},
               {false, true});
    const std::string file = readBytes(path);
    const std::size_t first = 400 + 200;
    EXPECT_EQ(file[first], '\x04');
    EXPECT_EQ(file[first + 9], '\x05');
    const AdtTable table(path);
    Record record;
    EXPECT_TRUE(table.read(0, record));
    EXPECT_FALSE(table.read(1, record));
}

TEST(AdsWriter, RefusesValuesThatDoNotSuitTheirField) {
    struct Case {
        FieldSpec field;
        Value value;
        const char* fragment;
    };
    const std::vector<Case> cases = {
        {{"Name", FieldType::Character, 3}, text("four"), "longer than 3 bytes"},
        {{"Name", FieldType::Character, 3}, Value::ofInteger(1), "wrong kind"},
        {{"N", FieldType::Integer}, Value::ofInteger(2147483648), "out of range"},
        {{"N", FieldType::Integer}, Value::ofInteger(-2147483648), "out of range"},
        {{"S", FieldType::ShortInteger}, Value::ofInteger(40000), "out of range"},
        {{"Born", FieldType::Date}, Value::ofDate(2011, 2, 30), "not valid"},
        {{"Amount", FieldType::Numeric, 6, 2}, Value::ofReal(12345.5), "wider than 6"},
        {{"Note", FieldType::Memo}, Value::ofInteger(5), "wrong kind"},
        {{"Ok", FieldType::Logical}, text("T"), "wrong kind"},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fragment);
        AdtWriter writer(folder.file("t.adt"), {c.field});
        try {
            writer.append({c.value});
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.fragment), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.field.name), std::string::npos) << e.what();
        }
    }
    AdtWriter writer(folder.file("t.adt"), {{"A", FieldType::Integer}});
    EXPECT_THROW(writer.append({}), Error);
}

} // namespace
} // namespace quillory::ads
