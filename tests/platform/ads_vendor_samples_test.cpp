// Files written by the vendor's engine: the reader must agree with what is known of them.
#include "platform/ads/AdtTable.h"
#include "platform/ads/Connection.h"

#include <gtest/gtest.h>

namespace quillory::ads {
namespace {

const std::string kFolder = std::string(QUILLORY_SHARED_DIR) + "/fixtures/adt/";

struct Expected {
    const char* file;
    std::uint32_t record; // 1-based, as the samples' description counts
    std::string field;
    const char* text; // nullptr: the field is null
};

std::string longName() {
    return "test" + std::string(124, 'h');
}

TEST(AdsVendorSamples, FieldValuesMatchTheirDescription) {
    const std::vector<Expected> cases = {
        {"AbrGru.ADT", 1, "AbrGruId", "1"},
        {"AbrGru.ADT", 1, "Such", "WGK"},
        {"AbrGru.ADT", 1, "Bez", "WGK"},
        {"AbrGru.ADT", 1, "KassenArt", "2"},
        {"AbrGru.ADT", 1, "OpKennz", "F"},
        {"AbrGru.ADT", 1, "ErstHonLst", nullptr},
        {"AbrGru.ADT", 1, "FAnzeige", nullptr},
        {"AbrGru.ADT", 1, "MwstAusgl", "0"},
        {"AbrGru.ADT", 1, "MwstGrup", nullptr},
        {"AbrGru.ADT", 6, "AbrGruId", "8"},
        {"AbrGru.ADT", 6, "Such", "PRIV"},
        {"AbrGru.ADT", 6, "Bez", "Privat"},
        {"AbrGru.ADT", 6, "FAnzeige", "$00006BD7"},
        {"AbrGru.ADT", 6, "Wahlarzt", nullptr},
        {"AbrGru.ADT", 8, "AbrGruId", "37"},
        {"AbrGru.ADT", 8, "Bez", "Allergologische Exploration"},
        {"AbrGru.ADT", 9, "AbrGruId", "39"},
        {"AbrGru.ADT", 9, "Such", "PRVL"},
        {"AbrGru.ADT", 9, "Bez", "Privat vertragsloser Zustand"},
        {"AbrGru.ADT", 9, "MwstGrup", "0"},
        {"A.ADT", 1, "ProviderNo", "43-SAMPLE"},
        {"A.ADT", 1, "Name", "Testing Using 01 Sample Provider For Demonstration"},
        {"A.ADT", 1, "City", "Name of City Here"},
        {"A.ADT", 1, "State", "AL"},
        {"A.ADT", 1, "Zip", "55555-4444"},
        {"A.ADT", 1, "Phone", "(318) 688-1949"},
        {"A.ADT", 1, "PhoneExt", "12345"},
        {"A.ADT", 1, "PeriodBeg", "2008-07-01"},
        {"A.ADT", 1, "PeriodEnd", "2009-06-30"},
        {"A.ADT", 1, "NoOfDays", "365"},
        {"A.ADT", 1, "3BOther", nullptr},
        {"test.adt", 1, longName(), "99"},
        {"test.adt", 1, "test2", "9999"},
        {"test.adt", 1, "inc", "2"},
        {"test.adt", 1, "kk", nullptr},
        {"test.adt", 1, "jhh", nullptr},
        {"test.adt", 1, "bh", nullptr},
    };
    for (const Expected& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " record " + std::to_string(c.record) + " " + c.field);
        const AdtTable table(kFolder + c.file);
        Record record;
        ASSERT_TRUE(table.read(c.record - 1, record));
        const int field = table.requireField(c.field);
        EXPECT_EQ(record.isNull(field), c.text == nullptr);
        EXPECT_EQ(record.text(field), c.text ? c.text : "");
    }
}

TEST(AdsVendorSamples, LayoutAndTypesMatchTheirDescription) {
    const AdtTable abrGru(kFolder + "AbrGru.ADT");
    EXPECT_EQ(abrGru.slotCount(), 9u);
    const std::vector<FieldDef> expected = {
        {"AbrGruId", FieldType::Integer, 5, 4},      {"Such", FieldType::Character, 9, 6},
        {"Bez", FieldType::Character, 15, 30},       {"AbrKennz", FieldType::ShortInteger, 45, 2},
        {"AbrEmpfId", FieldType::Integer, 47, 4},    {"VerrKennz", FieldType::ShortInteger, 51, 2},
        {"ZrAbr", FieldType::ShortInteger, 53, 2},   {"PsAbr", FieldType::ShortInteger, 55, 2},
        {"OpKennz", FieldType::Logical, 57, 1},      {"OplKennz", FieldType::Logical, 58, 1},
        {"HonKennz", FieldType::Logical, 59, 1},     {"ErstHonLst", FieldType::Character, 60, 6},
        {"FolgHonLst", FieldType::Character, 66, 6}, {"KassenArt", FieldType::ShortInteger, 72, 2},
        {"MtglNrKennz", FieldType::Logical, 74, 1},  {"FAnzeige", FieldType::Character, 75, 10},
        {"MwstAusgl", FieldType::Double, 85, 8},     {"DateHidden", FieldType::Character, 93, 8},
        {"Wahlarzt", FieldType::Logical, 101, 1},    {"MwstGrup", FieldType::Integer, 102, 4},
    };
    ASSERT_EQ(abrGru.fields().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const FieldDef& f = abrGru.fields()[i];
        EXPECT_EQ(f.name, expected[i].name);
        EXPECT_EQ(f.type, expected[i].type) << f.name;
        EXPECT_EQ(f.offset, expected[i].offset) << f.name;
        EXPECT_EQ(f.length, expected[i].length) << f.name;
    }

    const AdtTable a(kFolder + "A.ADT");
    EXPECT_EQ(a.fields().size(), 32u);
    Record record;
    ASSERT_TRUE(a.read(0, record));
    EXPECT_EQ(record.dateTime(a.requireField("PeriodBeg")), (LocalDateTime{2008, 7, 1}));
    EXPECT_EQ(record.value(a.requireField("PercentOccupancy")).kind, Value::Kind::Real);

    const AdtTable test(kFolder + "test.adt");
    ASSERT_EQ(test.fields().size(), 6u);
    EXPECT_EQ(test.fields()[0].name, longName());
    EXPECT_EQ(test.fields()[2].type, FieldType::AutoIncrement);
    EXPECT_EQ(test.fields()[5].type, FieldType::CiCharacter);
}

TEST(AdsVendorSamples, QueriedThroughSql) {
    Connection connection;
    connection.connect(kFolder);
    Query query(connection);
    query.open("SELECT \"Bez\", \"AbrGruId\", \"Wahlarzt\" FROM abrgru WHERE \"Such\" = 'PRIV'");
    ASSERT_FALSE(query.eof());
    EXPECT_EQ(query.text("Bez"), "Privat");
    EXPECT_EQ(query.text("abrgruid"), "8");
    EXPECT_TRUE(query.isNull("Wahlarzt"));
    query.next();
    EXPECT_TRUE(query.eof());

    query.open("SELECT \"PeriodEnd\", \"NoOfDays\" FROM A");
    EXPECT_EQ(query.text("PeriodEnd"), "2009-06-30");
    EXPECT_EQ(query.text("NoOfDays"), "365");
}

} // namespace
} // namespace quillory::ads
