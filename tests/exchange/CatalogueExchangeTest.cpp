#include <fstream>
#include <sstream>

#include "CatalogueExchange.h"
#include "DomainTest.h"
#include "GbkText.h"
#include "TCurrentUser.h"

namespace {

// Every exchange test starts from the demonstration catalogue.
class CatalogueExchangeTest : public DomainTest {
 protected:
  void SetUp() override {
    DomainTest::SetUp();
    db_.Exec(DemoData());
  }
  static std::string DemoData() {
    std::ifstream in(TESMIRA_SOURCE_DIR "/sql/demo-data.sql");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static TExchangeOptions Preview() {
    TExchangeOptions options;
    options.DryRun = true;
    return options;
  }
  // A GBK file (the tests' literals are GBK) of a heading and rows.
  static std::string File(const std::string& heading, const std::vector<std::string>& rows) {
    std::string text = heading + "\r\n";
    for (const std::string& row : rows) text += row + "\r\n";
    return text;
  }
  std::string Version() { return db_.QueryText("SELECT Version FROM TJCatalogueVersion"); }
};

TESMIRA_ALL_BACKENDS(CatalogueExchangeTest);

// The refused rows of a report, readable in a failure message.
std::string Refusals(const TImportReport& report) {
  std::string text;
  for (const TImportRow& row : report.Rows)
    if (row.Outcome == TRowOutcome::Refused) text += GbkText::ToUtf8(row.Detail()) + "\n";
  return text;
}

TEST_P(CatalogueExchangeTest, RoundTripIntoAnEmptyDatabaseGivesTheSameCatalogueThenChangesNothing) {
  const std::string exported = CatalogueExchange::ExportCsv();
  TestDatabase empty(GetParam());
  DomainObjects::ReleaseProcessObjects();
  empty.UseAsLibraryPool();

  const TImportReport first = CatalogueExchange::ImportCsv(exported);
  EXPECT_TRUE(first.Applied) << Refusals(first);
  EXPECT_EQ(first.Count(TRowOutcome::Refused), 0);
  for (const TImportRow& row : first.Rows)
    EXPECT_EQ(row.Outcome, TRowOutcome::Created) << row.Line << " " << row.Detail();
  EXPECT_TRUE(CatalogueExchange::ExportCsv() == exported);

  const TImportReport again = CatalogueExchange::ImportCsv(exported);
  EXPECT_EQ(again.Count(TRowOutcome::Unchanged), static_cast<int>(again.Rows.size()))
      << again.Summary();
  EXPECT_TRUE(CatalogueExchange::ExportCsv() == exported);
}

TEST_P(CatalogueExchangeTest, AGbkPriceListUpdatesExactlyThosePrices) {
  const std::string code =
      db_.QueryText("SELECT ItemCode FROM TJItem WHERE ItemType = 1 ORDER BY ItemCode LIMIT 1");
  const std::string before = CatalogueExchange::ExportCsv();
  const TImportReport report = CatalogueExchange::ImportCsv(File("编号,单价", {code + ",123.45"}));
  ASSERT_TRUE(report.Applied) << report.Summary()
                              << (report.Rows.empty() ? std::string() : report.Rows[0].Reason);
  ASSERT_EQ(report.Rows.size(), 1u);
  EXPECT_EQ(report.Rows[0].Outcome, TRowOutcome::Updated);
  ASSERT_EQ(report.Rows[0].Changes.size(), 1u);
  EXPECT_EQ(report.Rows[0].Changes[0].Column, "单价");
  EXPECT_EQ(report.Rows[0].Changes[0].After, "123.45");
  EXPECT_EQ(db_.QueryInt("SELECT COUNT(*) FROM TJItem WHERE UnitPrice = 123.45"), 1);
  const std::string after = CatalogueExchange::ExportCsv();
  EXPECT_TRUE(after != before);
}

// A new entry whose state of use the file leaves out is in use, as every
// window proposes for a new entry; a file that says so is followed.
TEST_P(CatalogueExchangeTest, NewEntriesAreInUseUnlessTheFileSaysOtherwise) {
  const std::string category =
      GbkText::FromUtf8(db_.QueryText("SELECT CateName FROM TJCategories ORDER BY CateID LIMIT 1"));
  const TImportReport report = CatalogueExchange::ImportCsv(File(
      "种类,编号,名称,类别,单价,成员",
      {"项目,900001,新项目甲," + category + ",1,",
       "组合项目,900002,新组合甲," + category + ",1,900001", "套餐,900003,新套餐甲,,1,900002"}));
  ASSERT_TRUE(report.Applied) << report.Summary();
  EXPECT_EQ(db_.QueryInt("SELECT COUNT(*) FROM TJItem WHERE ItemCode IN ('900001', '900002', "
                         "'900003') AND IsInUse = 1"),
            3);
  const TImportReport off = CatalogueExchange::ImportCsv(
      File("种类,编号,名称,类别,单价,在用", {"项目,900004,新项目乙," + category + ",1,0"}));
  ASSERT_TRUE(off.Applied) << off.Summary();
  EXPECT_EQ(db_.QueryInt("SELECT IsInUse FROM TJItem WHERE ItemCode = '900004'"), 0);
}

struct TBadRow {
  const char* name;
  std::string row;
  std::string reason;
};

TEST_P(CatalogueExchangeTest, ABadRowInTheMiddleAppliesNothingAndNamesItsLine) {
  const std::string heading = "种类,编号,名称,类别,单价,成员";
  const std::string category =
      GbkText::FromUtf8(db_.QueryText("SELECT CateName FROM TJCategories ORDER BY CateID LIMIT 1"));
  const std::string existing =
      db_.QueryText("SELECT ItemCode FROM TJItem WHERE ItemType = 0 ORDER BY ItemCode LIMIT 1");
  const std::vector<TBadRow> cases = {
      {"unknown category", "项目,900002,新项目乙,没有这个类别,1,", "类别[没有这个类别]不存在！"},
      {"duplicate code", "项目,900001,新项目乙," + category + ",1,", "在文件中重复（第2行已有）"},
      {"dangling member", "组合项目,900002,新组合," + category + ",1,900001;900404",
       "成员编号[900404]不存在！"},
      {"negative price", "项目,900002,新项目乙," + category + ",-5,", "单价不能为负数！"},
      {"name too wide", "项目,900002," + std::string(120, 'N') + "," + category + ",1,", "名称"},
      {"code with letters", "项目,A9002,新项目乙," + category + ",1,", "只能由数字组成"},
      {"existing code of another kind", "套餐," + existing + ",新套餐,,1,", "不能作为套餐导入"},
  };
  const std::string before = CatalogueExchange::ExportCsv();
  const std::string version = Version();
  for (const TBadRow& bad : cases) {
    const TImportReport report = CatalogueExchange::ImportCsv(
        File(heading, {"项目,900001,新项目甲," + category + ",1,", bad.row,
                       "项目,900003,新项目丙," + category + ",2,"}));
    EXPECT_FALSE(report.Applied) << bad.name;
    ASSERT_EQ(report.Count(TRowOutcome::Refused), 1) << bad.name << ": " << Refusals(report);
    const TImportRow& refused = report.Rows[1];
    EXPECT_EQ(refused.Line, 3) << bad.name;
    EXPECT_EQ(refused.Outcome, TRowOutcome::Refused) << bad.name;
    EXPECT_NE(refused.Reason.find(bad.reason), std::string::npos)
        << bad.name << ": " << refused.Reason;
    EXPECT_EQ(report.Rows[0].Outcome, TRowOutcome::Created) << bad.name;
    EXPECT_TRUE(CatalogueExchange::ExportCsv() == before) << bad.name;
  }
  EXPECT_EQ(Version(), version);
}

TEST_P(CatalogueExchangeTest, ADryRunShowsTheOutcomeAndLeavesTheDatabaseUnchanged) {
  const std::string category =
      GbkText::FromUtf8(db_.QueryText("SELECT CateName FROM TJCategories ORDER BY CateID LIMIT 1"));
  const std::string code =
      db_.QueryText("SELECT ItemCode FROM TJItem WHERE ItemType = 0 ORDER BY ItemCode LIMIT 1");
  const std::string before = CatalogueExchange::ExportCsv();
  const std::string version = Version();
  const std::string file =
      GbkText::ToUtf8(File("Kind,Code,Name,Category,Price",
                           {"项目,900001,新项目甲," + category + ",1", "," + code + ",,," + "77"}));
  const TImportReport preview = CatalogueExchange::ImportCsv(file, Preview());
  EXPECT_FALSE(preview.Applied);
  EXPECT_EQ(preview.Count(TRowOutcome::Created), 1) << Refusals(preview);
  EXPECT_EQ(preview.Count(TRowOutcome::Refused), 1);  // an empty name is refused as a window would
  EXPECT_TRUE(CatalogueExchange::ExportCsv() == before);
  EXPECT_EQ(Version(), version);
  EXPECT_EQ(db_.QueryInt("SELECT COUNT(*) FROM TJItem WHERE ItemCode = '900001'"), 0);
}

TEST_P(CatalogueExchangeTest, AUserWithoutTheImportRightIsRefusedAndNothingIsWritten) {
  TCurrentUser clerk;
  clerk.UserName = std::string("clerk");
  clerk.Rights = {{CatalogueExchange::kExportRight}, {"TJXT202001"}};
  TExchangeOptions options;
  options.User = &clerk;
  const std::string exported = CatalogueExchange::ExportCsv(options);
  EXPECT_NE(MessageOf<EWriteRefused>([&] { CatalogueExchange::ImportCsv(exported, options); }),
            "(no error)");
  clerk.Rights = {{CatalogueExchange::kImportRight}};
  EXPECT_NE(MessageOf<EWriteRefused>([&] { CatalogueExchange::ExportCsv(options); }), "(no error)");
  // The import right alone adds no entry: the add right of the kind is asked too.
  const TImportReport report =
      CatalogueExchange::ImportCsv(File("种类,编号,名称", {"项目,900001,新项目甲"}), options);
  EXPECT_FALSE(report.Applied);
  EXPECT_EQ(report.Count(TRowOutcome::Refused), 1);
}

TEST_P(CatalogueExchangeTest, AnUnknownColumnIsReportedNotIgnored) {
  EXPECT_NE(MessageOf<EExchangeError>([&] {
              CatalogueExchange::ImportCsv(File("编号,价钱", {"000001,3"}));
            }).find("价钱"),
            std::string::npos);
}

}  // namespace
