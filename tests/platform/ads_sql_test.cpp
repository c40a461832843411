// The practice queries on a small folder of writer-made tables, and how connections and queries
// report what goes wrong.
#include "ads_test_support.h"
#include "core/Error.h"
#include "platform/ads/AdtTable.h"
#include "platform/ads/Connection.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace quillory::ads {
namespace {
using namespace test;
using Rows = std::vector<std::string>;

const std::string kPull = "2011-10-18 15:30:45";

class AdsSql : public ::testing::Test {
protected:
    void SetUp() override {
        const std::vector<FieldSpec> patient = {{"Chart Number", FieldType::Character, 8},
                                                {"Patient Type", FieldType::Character, 10},
                                                {"Date Modified", FieldType::Timestamp}};
        writeTable(folder.file("MWPAT.ADT"), patient,
                   {{text("AAAA0001"), text("Patient"), stamp(2011, 10, 18, 15, 30, 45)},
                    {text("AAAA0002"), text("Patient"), stamp(2011, 10, 18, 15, 30, 44, 999)},
                    {text("AAAA0003"), text("Guarantor"), stamp(2011, 10, 19, 8, 0, 0)},
                    {text("AAAA0004"), text("Patient"), stamp(2011, 10, 20, 9, 0, 0)},
                    {text("AAAA0005"), text("Patient"), stamp(2011, 10, 20, 10, 0, 0, 500)},
                    {text("AAAA0006"), text("Patient"), stamp(2012, 1, 1, 0, 0, 0)},
                    {text("aaaa0007"), text("Patient"), stamp(2010, 1, 1, 0, 0, 0)},
                    {text("AAAA0008"), text("patient"), stamp(2012, 1, 1, 0, 0, 0)}},
                   {false, false, false, false, false, true});
        writeTable(
            folder.file("mwcas.adt"),
            {{"Chart Number", FieldType::Character, 8},
             {"Case Number", FieldType::Integer},
             {"Date Modified", FieldType::Timestamp},
             {"Description", FieldType::Memo}},
            {{text("AAAA0004"), Value::ofInteger(3), stamp(2011, 10, 22, 0, 0, 0), text("c")},
             {text("AAAA0003"), Value::ofInteger(1), stamp(2011, 10, 18, 15, 30, 45), text("a")},
             {text("AAAA0004"), Value::ofInteger(2), stamp(2011, 10, 21, 0, 0, 0), text("b")},
             {text("AAAA0002"), Value::ofInteger(1), stamp(2011, 10, 18, 15, 30, 44),
              Value::null()},
             {text("AAAA0009"), Value::ofInteger(1), stamp(2012, 1, 1, 0, 0, 0), text("x")}},
            {false, false, false, false, true});
        writeTable(folder.file("RGNPDS.adt"),
                   {{"Product Version", FieldType::Character, 12},
                    {"Date Modified", FieldType::Timestamp}},
                   {{text("15.0"), stamp(2009, 5, 1, 12, 0, 0)},
                    {text("15.5"), stamp(2010, 2, 3, 4, 5, 6)},
                    {text("14.0"), stamp(2008, 1, 1, 0, 0, 0)}});
        std::string damaged = readBytes(folder.file("RGNPDS.adt"));
        damaged[400 + 129] = 99; // unknown type of the first field
        writeBytes(folder.file("MWBAD.ADT"), damaged);
        writeBytes(folder.file("mwddf.add"), "dictionary");
        connection.connect(folder.file("mwddf.add"), "User", "secret");
    }

    Rows column(const std::string& sql, const std::string& name) {
        Rows rows;
        Query query(connection);
        for (query.open(sql); !query.eof(); query.next())
            rows.push_back(query.text(name));
        return rows;
    }

    std::string errorOf(const std::string& sql) {
        try {
            Query(connection).open(sql);
        } catch (const Error& e) {
            return e.what();
        }
        return "(no error)";
    }

    TempFolder folder;
    Connection connection;
};

TEST_F(AdsSql, ChartSelectionStatements) {
    EXPECT_EQ(column("SELECT \"Chart Number\" FROM MWPAT WHERE \"Patient Type\" = 'Patient' "
                     "ORDER BY \"Chart Number\"",
                     "Chart Number"),
              (Rows{"AAAA0001", "AAAA0002", "AAAA0004", "AAAA0005", "aaaa0007"}));
    EXPECT_EQ(column("SELECT DISTINCT \"Chart Number\" FROM mwcas WHERE (\"Date Modified\" >= '" +
                         kPull + "') ORDER BY \"Chart Number\"",
                     "Chart Number"),
              (Rows{"AAAA0003", "AAAA0004"}));
    EXPECT_EQ(column("SELECT \"Chart Number\" FROM mwpat WHERE \"Patient Type\" = 'Patient' AND "
                     "\"Date Modified\" >= '" +
                         kPull +
                         "' AND \"Chart Number\" NOT IN (SELECT DISTINCT \"Chart Number\" FROM "
                         "mwcas WHERE \"Date Modified\" >= '" +
                         kPull + "') ORDER BY \"Chart Number\"",
                     "Chart Number"),
              (Rows{"AAAA0001", "AAAA0005"}));
}

TEST_F(AdsSql, SelectStarInColumnOrder) {
    Rows rows;
    Query query(connection);
    for (query.open("SELECT * FROM MWCAS ORDER BY \"Chart Number\", \"Case Number\""); !query.eof();
         query.next())
        rows.push_back(query.text("Chart Number") + " " + query.text("Case Number") + " " +
                       query.text("Date Modified") + " " + query.text("description") +
                       (query.isNull("Description") ? " null" : ""));
    EXPECT_EQ(rows,
              (Rows{"AAAA0002 1 2011-10-18 15:30:44  null", "AAAA0003 1 2011-10-18 15:30:45 a",
                    "AAAA0004 2 2011-10-21 00:00:00 b", "AAAA0004 3 2011-10-22 00:00:00 c"}));

    EXPECT_EQ(column("SELECT * FROM RGNPDS ORDER BY \"Date Modified\" DESC", "Product Version"),
              (Rows{"15.5", "15.0", "14.0"}));
}

TEST_F(AdsSql, EqualityUsesTheKeyIndexAndKeepsSqlSemantics) {
    const std::string lookup = "SELECT \"Chart Number\" FROM mwpat WHERE \"Chart Number\" = ";
    EXPECT_EQ(column(lookup + "'AAAA0004'", "Chart Number"), (Rows{"AAAA0004"}));
    EXPECT_EQ(column(lookup + "'aaaa0004'", "Chart Number"), (Rows{}));
    EXPECT_EQ(column(lookup + "'AAAA0006'", "Chart Number"), (Rows{})); // deleted
    EXPECT_EQ(column(lookup + "'aaaa0004' COLLATE NOCASE", "Chart Number"), (Rows{"AAAA0004"}));
    EXPECT_EQ(column("SELECT \"Case Number\" FROM mwcas WHERE \"Case Number\" = 2", "Case Number"),
              (Rows{"2"}));

    sqlite3_stmt* plan = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(connection.sql(), ("EXPLAIN QUERY PLAN " + lookup + "'x'").c_str(),
                                 -1, &plan, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(plan), SQLITE_ROW);
    const std::string detail = reinterpret_cast<const char*>(sqlite3_column_text(plan, 3));
    sqlite3_finalize(plan);
    EXPECT_NE(detail.find("VIRTUAL TABLE INDEX 1:"), std::string::npos) << detail;
}

TEST_F(AdsSql, ErrorsSayWhatIsWrong) {
    EXPECT_EQ(errorOf("SELECT * FROM mwnone"), "no such table: mwnone");
    EXPECT_EQ(errorOf("SELECT \"No Such\" FROM mwpat"), "no such column: No Such");
    const std::string damaged = errorOf("SELECT * FROM mwbad");
    EXPECT_NE(damaged.find("MWBAD.ADT: field \"Product Version\" has an unknown type 99"),
              std::string::npos)
        << damaged;
    // The damaged table did not keep the others from being created.
    EXPECT_EQ(column("SELECT COUNT(*) AS n FROM rgnpds", "n"), (Rows{"3"}));
}

TEST_F(AdsSql, ValuesOfEveryTypeAsSqlSeesThem) {
    Value time;
    time.kind = Value::Kind::Time;
    time.dateTime = {1899, 12, 30, 7, 8, 9, 0};
    Value blob = text(std::string("\0\1", 2));
    blob.kind = Value::Kind::Bytes;
    writeTable(folder.file("types.adt"),
               {{"c", FieldType::Character, 4},
                {"ci", FieldType::CiCharacter, 4},
                {"l", FieldType::Logical},
                {"d", FieldType::Date},
                {"t", FieldType::Time},
                {"ts", FieldType::Timestamp},
                {"i", FieldType::Integer},
                {"n0", FieldType::Numeric, 5},
                {"n2", FieldType::Numeric, 6, 2},
                {"dbl", FieldType::Double},
                {"m", FieldType::Money},
                {"b", FieldType::Binary}},
               {{text("x"), text("Ab"), Value::ofLogical(false), Value::ofDate(2011, 1, 2), time,
                 stamp(2011, 1, 2, 3, 4, 5, 6), Value::ofInteger(-3), Value::ofInteger(12),
                 Value::ofReal(1.5), Value::ofReal(0.25), Value::ofReal(2.5), blob},
                std::vector<Value>(12, Value::null())});
    struct Case {
        const char* column;
        const char* type;
        std::string value;
    };
    const std::vector<Case> cases = {
        {"c", "text", "x"},        {"ci", "text", "Ab"},
        {"l", "text", "F"},        {"d", "text", "2011-01-02"},
        {"t", "text", "07:08:09"}, {"ts", "text", "2011-01-02 03:04:05.006"},
        {"i", "integer", "-3"},    {"n0", "integer", "12"},
        {"n2", "real", "1.5"},     {"dbl", "real", "0.25"},
        {"m", "real", "2.5"},      {"b", "blob", std::string("\0\1", 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        const std::string col = std::string("\"") + c.column + "\"";
        const std::string sql =
            "SELECT typeof(" + col + ") AS type, " + col + " AS value, typeof((SELECT " + col +
            " FROM types WHERE rowid = 1)) AS nulltype FROM types WHERE rowid = 0";
        Query query(connection);
        query.open(sql);
        ASSERT_FALSE(query.eof());
        EXPECT_EQ(query.text("type"), c.type);
        EXPECT_EQ(query.text("value"), c.value);
        EXPECT_EQ(query.text("nulltype"), "null");
    }
    // Case-insensitive character fields compare as the engine's do.
    EXPECT_EQ(column("SELECT c FROM types WHERE ci = 'AB'", "c"), (Rows{"x"}));
}

TEST(AdsConnection, ConnectsToDictionariesAndFolders) {
    TempFolder folder;
    writeTable(folder.file("MWPAT.ADT"), {{"Chart Number", FieldType::Character, 8}},
               {{text("A1")}});
    writeBytes(folder.file("MWDDF.ADD"), "");
    struct Case {
        std::string path;
        std::string error; // "" when the connection works
    };
    const std::vector<Case> cases = {
        {folder.file("mwddf.add"), ""}, // a dictionary copied from Windows in upper case
        {folder.path(), ""},
        {folder.path() + "/", ""},
        {folder.file("SharedData.add"),
         "The data dictionary " + folder.file("SharedData.add") + " does not exist."},
        {folder.file("nowhere"), "The data folder " + folder.file("nowhere") + " does not exist."},
        {"", "No data path is set."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Connection connection;
        try {
            connection.connect(c.path, "User", "any password");
            EXPECT_EQ(c.error, "");
            EXPECT_EQ(connection.folder(), folder.path() + "/");
            for (const char* name : {"mwpat.adt", "MWPAT", "mwpat"})
                EXPECT_EQ(connection.table(name), connection.table("MWPAT.ADT")) << name;
            EXPECT_EQ(connection.table("mwpat")->slotCount(), 1u);
            EXPECT_THROW(connection.table("mwcas"), Error);
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), c.error);
            EXPECT_FALSE(connection.isConnected());
        }
    }
}

TEST(AdsConnection, QueriesNeedAConnectionAndAnOpenQuery) {
    Connection connection;
    EXPECT_THROW(connection.sql(), Error);
    EXPECT_THROW(connection.table("mwpat"), Error);
    TempFolder folder;
    connection.connect(folder.path());
    Query query(connection);
    EXPECT_THROW(query.text("x"), Error);
    query.open("SELECT 1 AS one");
    EXPECT_TRUE(query.isOpen());
    EXPECT_EQ(query.text("ONE"), "1");
    EXPECT_THROW(query.text("two"), Error);
    query.next();
    EXPECT_TRUE(query.eof());
    EXPECT_THROW(query.text("one"), Error);
    query.close();
    EXPECT_FALSE(query.isOpen());
}

} // namespace
} // namespace quillory::ads
