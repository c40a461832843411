#include "cli/DemoPractice.h"

#include "platform/ads/Connection.h"
#include "practice/TfrmDataTransfer.h"
#include "support/CollectingErrorReport.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillory::cli {
namespace {

QByteArray digest(const std::string& path) {
    QFile file(QString::fromStdString(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

TEST(DemoPractice, SameSeedSameTables) {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    createDemoPractice({root + "/a", 300, 7});
    createDemoPractice({root + "/b", 300, 7});
    createDemoPractice({root + "/c", 300, 8});
    for (const char* table : {"mwpat.adt", "mwcas.adt", "mwins.adt", "mwadd.adt"}) {
        EXPECT_EQ(digest(root + "/a/DEMO/" + table), digest(root + "/b/DEMO/" + table)) << table;
    }
    EXPECT_NE(digest(root + "/a/DEMO/mwpat.adt"), digest(root + "/c/DEMO/mwpat.adt"));
}

// Start-up reads the product version through the shared dictionary and the practice list from
// the root folder itself.
TEST(DemoPractice, RootFolderHoldsProductTableAndPracticeList) {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    const DemoSummary demo = createDemoPractice({root, 10, 1});

    ads::Connection shared;
    shared.connect(root + "/SharedData.add", "SharedDataUser", "KeyMatchLot");
    ads::Query product(shared);
    product.open("SELECT * FROM RGNPDS ORDER BY \"Date Modified\" DESC");
    EXPECT_EQ(product.text("Version"), "15.0.0.211");

    ads::Connection folder;
    folder.connect(root);
    ads::Query practices(folder);
    practices.open("SELECT * FROM \"mwdblist\"");
    ASSERT_FALSE(practices.eof());
    EXPECT_EQ(practices.text("Data Path"), demo.practiceDir);

    ads::Connection practice;
    practice.connect(demo.practiceDir + "/mwddf.add", "User", "tangelos");
    ads::Query options(practice);
    options.open("SELECT * FROM mwopt");
    EXPECT_EQ(options.text("Data Version Number"), "15.00");
}

// The demo is meant to show every branch of the message: each text below must occur.
TEST(DemoPractice, MessagesReachEveryBranch) {
    QTemporaryDir dir;
    const DemoSummary demo = createDemoPractice({dir.path().toStdString(), 600, 1});
    const std::string settings = dir.path().toStdString() + "/q.NFO";
    QFile file(QString::fromStdString(settings));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(("[Options]\nDataPath=" + demo.practiceDir + "\n").c_str());
    file.close();

    test::CollectingErrorReport errors;
    TfrmDataTransfer practice(settings, errors);
    std::vector<std::string> charts;
    ASSERT_TRUE(practice.CollectChartNumbers(charts, LocalDateTime::zero()));
    EXPECT_GT(charts.size(), 500u);
    EXPECT_LT(charts.size(), 600u); // other patient types are left out
    std::string all;
    for (const std::string& chart : charts) {
        std::string text = chart;
        ASSERT_TRUE(practice.BuildDemographicsMessage(text)) << chart << ": " << text;
        all += text;
    }
    const std::vector<std::string> branches{
        "\rIN1|1|", "\rIN1|2|",   "\rIN1|3|",   "GT1|||^^^^||", "|H|18|",     "|H|21|",
        "|BCBS|",   "|Medicare|", "|Medicaid|", "|HMO|",        "|PPO|",      "|Other|",
        "||Y|",     "\\F\\",      "\\S\\",      "\\T\\",        "\\R\\",      "\\E\\",
        "\xC9",     "|U|||",      "|F|||",      "|M|||",        "||\rIN1|2|", "^PRN^PH^^^^|",
        "-1234|",   "|01|",       "|19|",       "|99|",         "|18|",       "|X||",
    };
    for (const std::string& branch : branches)
        EXPECT_NE(all.find(branch), std::string::npos) << branch;
}

} // namespace
} // namespace quillory::cli
