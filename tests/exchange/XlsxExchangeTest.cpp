// The catalogue exchange's XLSX workbooks, on every backend: the round trip,
// a workbook as another program writes it, and workbooks that are refused.
#include <unistd.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "CatalogueExchange.h"
#include "DomainTest.h"
#include "GbkText.h"

namespace fs = std::filesystem;

namespace {

// A part of a workbook a test writes: its name and its XML (GBK, as the
// tests' literals are; stored as UTF-8).
struct TPart {
  std::string Name;
  std::string Xml;
};

class XlsxExchangeTest : public DomainTest {
 protected:
  void SetUp() override {
    DomainTest::SetUp();
    std::ifstream in(TESMIRA_SOURCE_DIR "/sql/demo-data.sql");
    std::stringstream text;
    text << in.rdbuf();
    db_.Exec(text.str());
    folder_ = fs::temp_directory_path() / ("tesmira-xlsx-" + std::to_string(getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    fs::remove_all(folder_);
    DomainTest::TearDown();
  }
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  // A zip of `parts` at `path`.
  static void WriteZip(const std::string& path, const std::vector<TPart>& parts) {
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(zip, nullptr);
    std::vector<std::string> texts;
    texts.reserve(parts.size());
    for (const TPart& part : parts) {
      texts.push_back(GbkText::ToUtf8(part.Xml));
      zip_source_t* source = zip_source_buffer(zip, texts.back().data(), texts.back().size(), 0);
      ASSERT_GE(zip_file_add(zip, part.Name.c_str(), source, ZIP_FL_OVERWRITE), 0);
    }
    ASSERT_EQ(zip_close(zip), 0);
  }
  // The parts of a workbook of one sheet `sheetName` holding `sheetData`,
  // with a shared-string table of `strings` (<si> elements).
  static std::vector<TPart> Workbook(const std::string& sheetName, const std::string& strings,
                                     const std::string& sheetData) {
    const std::string ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    return {
        {"_rels/.rels", "<Relationships><Relationship Id=\"rId1\" Type=\"" + rel +
                            "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook " + ns +
                                " xmlns:r=\"" + rel + "\"><sheets><sheet name=\"" + sheetName +
                                "\" sheetId=\"1\" r:id=\"rId1\"/><sheet name=\"Sheet2\" "
                                "sheetId=\"2\" r:id=\"rId2\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships><Relationship Id=\"rId1\" Type=\"" + rel +
             "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" +
             rel +
             "/worksheet\" Target=\"/xl/worksheets/sheet2.xml\"/><Relationship Id=\"rId3\" "
             "Type=\"" +
             rel + "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"},
        {"xl/sharedStrings.xml", "<sst " + ns + ">" + strings + "</sst>"},
        {"xl/worksheets/sheet1.xml",
         "<worksheet " + ns + "><sheetData>" + sheetData + "</sheetData></worksheet>"},
        {"xl/worksheets/sheet2.xml", "<worksheet " + ns + "><sheetData/></worksheet>"},
    };
  }
  std::string Version() { return db_.QueryText("SELECT Version FROM TJCatalogueVersion"); }

  fs::path folder_;
};

TESMIRA_ALL_BACKENDS(XlsxExchangeTest);

std::string Refusals(const TImportReport& report) {
  std::string text;
  for (const TImportRow& row : report.Rows)
    if (row.Outcome == TRowOutcome::Refused) text += GbkText::ToUtf8(row.Detail()) + "\n";
  return text;
}

TEST_P(XlsxExchangeTest, RoundTripIntoAnEmptyDatabaseGivesTheSameCatalogueThenChangesNothing) {
  const std::string csv = CatalogueExchange::ExportCsv();
  const std::string path = Path("catalogue.XLSX");  // the extension in any case
  const int entries = CatalogueExchange::ExportFile(path);
  EXPECT_GT(entries, 0);
  TestDatabase empty(GetParam());
  DomainObjects::ReleaseProcessObjects();
  empty.UseAsLibraryPool();

  const TImportReport first = CatalogueExchange::ImportFile(path);
  EXPECT_TRUE(first.Applied) << Refusals(first);
  EXPECT_EQ(first.Count(TRowOutcome::Created), entries) << Refusals(first);
  EXPECT_TRUE(CatalogueExchange::ExportCsv() == csv);

  const TImportReport again = CatalogueExchange::ImportFile(path);
  EXPECT_EQ(again.Count(TRowOutcome::Unchanged), entries) << again.Summary() << Refusals(again);
  EXPECT_TRUE(CatalogueExchange::ExportCsv() == csv);
}

// Another program's workbook: headings and a code in the shared-string table
// (one heading in rich-text runs), an inline string, an empty column between
// two headed ones, cells without references, a blank second sheet.
TEST_P(XlsxExchangeTest, AWorkbookWithSharedStringsAndAGapColumnImportsTheRightValues) {
  const std::string code =
      db_.QueryText("SELECT ItemCode FROM TJItem WHERE ItemType = 0 ORDER BY ItemCode LIMIT 1");
  const std::string second = db_.QueryText(
      "SELECT ItemCode FROM TJItem WHERE ItemType = 0 ORDER BY ItemCode LIMIT 1 OFFSET 1");
  const std::string strings =
      "<si><t>编号</t></si><si><r><t>单</t></r><r><rPr/><t>价</t></r>"
      "<rPh><t>dan</t></rPh></si><si><t>" +
      code + "</t></si>";
  const std::string rows =
      "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"C1\" t=\"s\"><v>1</v></c>"
      "<c r=\"D1\" t=\"inlineStr\"><is><t>Unit</t></is></c></row>"
      "<row r=\"3\"><c r=\"A3\" t=\"s\"><v>2</v></c><c r=\"C3\"><v>88.5</v></c></row>"
      "<row><c t=\"inlineStr\"><is><t>" +
      second +
      "</t></is></c><c/>"
      "<c><v>7.25</v></c><c t=\"inlineStr\"><is><t>次</t></is></c></row>";
  WriteZip(Path("prices.xlsx"), Workbook("项目", strings, rows));

  const TImportReport report = CatalogueExchange::ImportFile(Path("prices.xlsx"));
  ASSERT_TRUE(report.Applied) << Refusals(report);
  ASSERT_EQ(report.Rows.size(), 2u);
  EXPECT_EQ(report.Rows[0].Key, code);
  EXPECT_EQ(report.Rows[0].Place, "工作表“项目”第3行");
  EXPECT_EQ(report.Rows[1].Place, "工作表“项目”第4行");
  EXPECT_EQ(
      db_.QueryText("SELECT UnitPrice FROM TJItem WHERE ItemCode = '" + code + "'").substr(0, 4),
      "88.5");
  EXPECT_EQ(
      db_.QueryText("SELECT UnitPrice FROM TJItem WHERE ItemCode = '" + second + "'").substr(0, 4),
      "7.25");
  // Row 3 has no unit cell under the 单位 heading: a spreadsheet's empty cell.
  EXPECT_EQ(
      db_.QueryText("SELECT COALESCE(ItemUnit, '') FROM TJItem WHERE ItemCode = '" + code + "'"),
      "");
  EXPECT_EQ(db_.QueryText("SELECT ItemUnit FROM TJItem WHERE ItemCode = '" + second + "'"),
            U8(u8"次"));
}

TEST_P(XlsxExchangeTest, ARefusedRowIsNamedBySheetAndRowAndNothingIsApplied) {
  const std::string code =
      db_.QueryText("SELECT ItemCode FROM TJItem WHERE ItemType = 0 ORDER BY ItemCode LIMIT 1");
  const std::string before = CatalogueExchange::ExportCsv();
  const std::string rows =
      "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>编号</t></is></c>"
      "<c r=\"B1\" t=\"inlineStr\"><is><t>单价</t></is></c></row>"
      "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>" +
      code +
      "</t></is></c>"
      "<c r=\"B2\"><v>3</v></c></row>"
      "<row r=\"5\"><c r=\"A5\" t=\"inlineStr\"><is><t>" +
      code +
      "</t></is></c>"
      "<c r=\"B5\"><v>-1</v></c></row>";
  WriteZip(Path("bad.xlsx"), Workbook("项目", "", rows));
  const TImportReport report = CatalogueExchange::ImportFile(Path("bad.xlsx"));
  EXPECT_FALSE(report.Applied);
  ASSERT_EQ(report.Count(TRowOutcome::Refused), 1) << Refusals(report);
  const std::string detail = report.Rows[1].Detail();
  EXPECT_EQ(detail.find("工作表“项目”第5行："), 0u) << GbkText::ToUtf8(detail);
  // The earlier row it repeats is named by its place too.
  EXPECT_NE(detail.find("工作表“项目”第2行已有"), std::string::npos) << GbkText::ToUtf8(detail);
  EXPECT_TRUE(CatalogueExchange::ExportCsv() == before);
}

struct TBadWorkbook {
  const char* name;
  std::function<void(const std::string&)> write;
  std::string message;  // a part of the error's message
};

TEST_P(XlsxExchangeTest, ADamagedOrForeignWorkbookIsRefusedWithNothingWritten) {
  const std::string exported = Path("whole.xlsx");
  CatalogueExchange::ExportFile(exported);
  std::ifstream in(exported, std::ios::binary);
  const std::string whole{std::istreambuf_iterator<char>(in), {}};
  auto bytes = [](const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
  };
  const std::string heading =
      "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>编号</t></is></c>"
      "<c r=\"B1\" t=\"inlineStr\"><is><t>价钱</t></is></c></row>";
  const std::vector<TBadWorkbook> cases = {
      {"truncated", [&](const std::string& p) { bytes(p, whole.substr(0, whole.size() / 2)); },
       "不是XLSX工作簿"},
      {"not a zip", [&](const std::string& p) { bytes(p, "编号,单价\r\n000001,3\r\n"); },
       "不是XLSX工作簿"},
      {"no workbook",
       [](const std::string& p) {
         WriteZip(p, {{"readme.txt", "<a/>"}});
       },
       "缺少"},
      {"unknown sheet kind",
       [&](const std::string& p) { WriteZip(p, Workbook("价目", "", heading)); },
       "工作表“价目”不是目录的种类"},
      {"unknown heading", [&](const std::string& p) { WriteZip(p, Workbook("项目", "", heading)); },
       "单元格B1有未知的列：价钱"},
      {"missing shared string",
       [](const std::string& p) {
         WriteZip(p, Workbook("项目", "", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>4</v></c></row>"));
       },
       "单元格A1引用了不存在的共享字符串"},
      {"cells out of order",
       [](const std::string& p) {
         WriteZip(p,
                  Workbook("项目", "",
                           "<row r=\"1\"><c r=\"B1\"><v>1</v></c><c r=\"A1\"><v>2</v></c></row>"));
       },
       "单元格位置“A1”"},
      {"malformed xml", [](const std::string& p) { WriteZip(p, Workbook("项目", "", "<row><c>")); },
       "不是有效的XML"},
  };
  const std::string before = CatalogueExchange::ExportCsv();
  const std::string version = Version();
  for (const TBadWorkbook& bad : cases) {
    const std::string path =
        Path(std::string("bad-") + std::to_string(&bad - cases.data()) + ".xlsx");
    bad.write(path);
    const std::string message = MessageOf<EExchangeError>([&] {
      TExchangeOptions preview;
      preview.DryRun = bad.name[0] == 'u';  // a preview is refused the same way
      CatalogueExchange::ImportFile(path, preview);
    });
    EXPECT_NE(message.find(bad.message), std::string::npos)
        << bad.name << ": " << GbkText::ToUtf8(message);
    EXPECT_NE(message.find(path), std::string::npos)
        << bad.name << ": " << GbkText::ToUtf8(message);
  }
  EXPECT_TRUE(CatalogueExchange::ExportCsv() == before);
  EXPECT_EQ(Version(), version);
}

}  // namespace
