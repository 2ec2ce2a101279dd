#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>

#include "CatalogueExchange.h"
#include "HandlerConnect.h"
#include "ScreenTest.h"
#include "TItemManager.h"
#include "TPromptService.h"
#include "TfamCateToItemTree.h"
#include "TfrmCatalogueExchange.h"
#include "TfrmItemEdit.h"

namespace {

enum GridColumn { ColLine, ColOutcome, ColKind, ColCode, ColName, ColDetail };

class TfrmCatalogueExchangeTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    LoadDemoData();
  }
  TfrmCatalogueExchange* OpenWindow() {
    w = Open<TfrmCatalogueExchange>();
    grid = w->grdRows;
    return w;
  }
  /// A UTF-8 file in the test's folder.
  QString WriteFile(const char* name, const std::string& text) {
    const QString path = folder.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.data(), static_cast<qint64>(text.size()));
    return path;
  }
  void Click(QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    Settle();
  }
  /// Chooses `path` through the window's chooser, then previews it.
  void ChooseAndPreview(const QString& path) {
    TPromptService::SetNextFile(path);
    Click(w->btnChoose);
    Click(w->btnPreview);
  }
  QStringList Column(int column, bool shownOnly = false) const {
    QStringList texts;
    for (int row = 0; row < grid->rowCount(); ++row)
      if (!shownOnly || !grid->isRowHidden(row)) texts << grid->item(row, column)->text();
    return texts;
  }
  bool Asked(TPromptKind kind) const {
    const auto& history = TPromptService::History();
    return std::any_of(history.begin(), history.end(),
                       [kind](const TPromptRecord& r) { return r.Kind == kind; });
  }
  long long Items() { return db.QueryInt("SELECT count(*) FROM TJItem"); }
  std::string Version() { return db.QueryText("SELECT Version FROM TJCatalogueVersion"); }

  QTemporaryDir folder;
  TfrmCatalogueExchange* w = nullptr;
  QTableWidget* grid = nullptr;
};

// Each button follows its right, and the command itself checks it: without
// the import right no chooser opens and nothing is read.
TEST_F(TfrmCatalogueExchangeTest, RightsDecideWhichCommandsWork) {
  struct Case {
    std::vector<std::string> rights;
    bool exports, imports;
  };
  const Case cases[] = {{{"TJXT201001"}, false, false},
                        {{"TJXT206001"}, true, false},
                        {{"tjxt206002"}, false, true},
                        {{"TJXT206001", "TJXT206002"}, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rights.back());
    host.User = {};
    host.User.UserName = "clerk";
    for (const std::string& code : c.rights) host.User.Rights.push_back({code});
    OpenWindow();
    EXPECT_EQ(w->btnExport->isEnabled(), c.exports);
    for (QPushButton* b : {w->btnChoose, w->btnPreview, w->btnImport})
      EXPECT_EQ(b->isEnabled(), c.imports);
    EXPECT_TRUE(w->btnExit->isEnabled());
    Click(w->btnExit);
  }
  host.User = {};
  host.User.UserName = "clerk";
  OpenWindow();
  TPromptService::Reset();
  RunHandler([this] { w->RunCommand(w->btnImport); });
  EXPECT_EQ(LastShown(), Utf8(u8"您没有“导入”的权限（功能号 TJXT206002），请与管理员联系！"));
  RunHandler([this] { w->RunCommand(w->btnExport); });
  EXPECT_EQ(LastShown(), Utf8(u8"您没有“导出”的权限（功能号 TJXT206001），请与管理员联系！"));
  // A host's preview by name goes through the same check.
  const QString file = WriteFile("a.csv", Utf8(u8"编号,单价\n000001,5\n"));
  EXPECT_FALSE(w->PreviewFile(file));
  EXPECT_TRUE(TPromptService::History().empty());
  EXPECT_EQ(grid->rowCount(), 0);
}

// A refused row is shown with its line and reason; Apply is refused and
// writes nothing, not even the change stamp.
TEST_F(TfrmCatalogueExchangeTest, ARefusedRowIsShownAndStopsTheImport) {
  OpenWindow();
  const QString file = WriteFile("bad.csv", Utf8(u8"种类,编号,名称,类别,单价\n"
                                                 u8"项目,900001,新项目甲,一般检查,1\n"
                                                 u8"项目,900002,新项目乙,没有这个类别,1\n"
                                                 u8"项目,900003,新项目丙,一般检查,2\n"));
  const long long items = Items();
  const std::string version = Version();
  ChooseAndPreview(file);
  ASSERT_EQ(grid->rowCount(), 3);
  EXPECT_EQ(Column(ColLine), (QStringList{Q(u8"2"), Q(u8"3"), Q(u8"4")}));
  EXPECT_EQ(Column(ColOutcome), (QStringList{Q(u8"新增"), Q(u8"拒绝"), Q(u8"新增")}));
  EXPECT_TRUE(grid->item(1, ColDetail)->text().contains(Q(u8"没有这个类别")));
  EXPECT_NE(grid->item(1, ColName)->background(), grid->item(0, ColName)->background());
  EXPECT_TRUE(w->lblCounts->text().startsWith(Q(u8"新增 2 条，修改 0 条，不变 0 条，拒绝 1 条")));

  w->cbbOutcome->setCurrentText(Q(u8"拒绝"));
  EXPECT_EQ(Column(ColCode, true), QStringList{Q(u8"900002")});
  w->cbbOutcome->setCurrentIndex(0);
  w->edtFilter->setText(Q(u8"丙"));
  EXPECT_EQ(Column(ColCode, true), QStringList{Q(u8"900003")});

  TPromptService::Reset();
  Click(w->btnImport);
  EXPECT_NE(LastShown().find(Utf8(u8"有 1 行被拒绝，不能导入")), std::string::npos) << LastShown();
  EXPECT_FALSE(Asked(TPromptKind::Confirmation));
  EXPECT_EQ(Items(), items);
  EXPECT_EQ(Version(), version);
}

// Preview, then Apply after Yes: the rows are written once, the grid shows
// the applied report, and an open item window shows the new item at once.
TEST_F(TfrmCatalogueExchangeTest, ApplyWritesTheFileAndTheOtherWindowsFollow) {
  auto* items = Open<TfrmItemEdit>();
  QTreeWidget* tree = items->famCateToItemTree->chkCateTree;
  OpenWindow();
  // A new item, a new price, and a combination that takes the new item in
  // place of one of its members.
  const QString file = WriteFile("good.csv", Utf8(u8"种类,编号,名称,类别,单价,成员\n"
                                                  u8"项目,900001,新项目甲,一般检查,12.5,\n"
                                                  u8"项目,000001,身高,一般检查,8,\n"
                                                  u8"组合项目,000062,身高体重,一般检查,0,"
                                                  u8"000001;900001\n"));
  TItemManager::Instance().LoadItems();  // members built, as the windows build them
  TBaseItem* combination = TItemManager::Instance().Items().FindByCode("000062");
  ASSERT_NE(combination, nullptr);
  TBaseItem* dropped = TItemManager::Instance().Items().FindByCode("000002");
  ASSERT_TRUE(dropped->UsedBy().Contains(combination));
  const long long before = Items();
  ChooseAndPreview(file);
  EXPECT_EQ(Column(ColOutcome), (QStringList{Q(u8"新增"), Q(u8"修改"), Q(u8"修改")}));
  EXPECT_EQ(Items(), before);

  // No: nothing written. Yes: written.
  TPromptService::SetNextAnswer(TPromptAnswer::No);
  Click(w->btnImport);
  EXPECT_EQ(Items(), before);
  TPromptService::Reset();
  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  Click(w->btnImport);
  ASSERT_TRUE(Asked(TPromptKind::Confirmation));
  EXPECT_TRUE(TPromptService::History().front().Text.contains(Q(u8"新增 1 条，修改 2 条")));
  EXPECT_EQ(LastShown(), "");
  EXPECT_EQ(Items(), before + 1);
  EXPECT_EQ(db.QueryInt("SELECT count(*) FROM TJItem WHERE ItemCode = '000001' AND UnitPrice = 8"),
            1);
  ASSERT_NE(w->Report(), nullptr);
  EXPECT_TRUE(w->Report()->Applied);
  EXPECT_TRUE(w->lblCounts->text().contains(Q(u8"已导入")));

  // The catalogue in memory took the stored values: the entry windows point at.
  const TBaseItem* height = TItemManager::Instance().Items().FindByCode("000001");
  ASSERT_NE(height, nullptr);
  EXPECT_EQ(height->UnitPrice, 8);
  ASSERT_EQ(combination->Items().Count(), 2);
  EXPECT_EQ(combination->Items()[0], height);
  EXPECT_EQ(combination->Items()[1]->ItemCode, "900001");
  EXPECT_FALSE(dropped->UsedBy().Contains(combination));

  QStringList shown;
  for (int i = 0; i < tree->topLevelItemCount(); ++i) shown << ChildTexts(tree->topLevelItem(i));
  EXPECT_TRUE(shown.join(QLatin1Char('|')).contains(Q(u8"新项目甲")))
      << shown.join(QLatin1Char('|')).toStdString();

  // The same file again changes nothing, and Apply says so without asking.
  TPromptService::Reset();
  Click(w->btnImport);
  EXPECT_FALSE(Asked(TPromptKind::Confirmation));
  EXPECT_EQ(Column(ColOutcome), (QStringList{Q(u8"不变"), Q(u8"不变"), Q(u8"不变")}));
}

// The export writes what a re-import finds unchanged, row for row; files
// that cannot be used end in a message and leave the window as it was.
TEST_F(TfrmCatalogueExchangeTest, ExportThenReimportIsAllUnchangedAndBadFilesAreReported) {
  OpenWindow();
  const QString exported = folder.filePath(QStringLiteral("目录"));
  TPromptService::SetNextFile(exported);
  Click(w->btnExport);
  const QString written = exported + QStringLiteral(".csv");
  ASSERT_TRUE(QFile::exists(written));
  ASSERT_FALSE(TPromptService::History().empty());
  EXPECT_TRUE(TPromptService::History().back().Text.startsWith(Q(u8"已导出 ")));

  // The same name again: the file with the suffix exists, so the window
  // asks before it overwrites it (No: the file stays as it was).
  QFile(written).resize(0);
  TPromptService::SetNextFile(exported);
  TPromptService::SetNextAnswer(TPromptAnswer::No);
  Click(w->btnExport);
  EXPECT_EQ(QFileInfo(written).size(), 0);
  TPromptService::SetNextFile(exported);
  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  Click(w->btnExport);
  ASSERT_GT(QFileInfo(written).size(), 0);

  const std::string version = Version();
  ChooseAndPreview(written);
  ASSERT_GT(grid->rowCount(), 10);
  EXPECT_EQ(Column(ColOutcome).count(Q(u8"不变")), grid->rowCount());
  EXPECT_EQ(Version(), version);

  struct Bad {
    const char* name;
    std::string text;
    const char8_t* reason;
  };
  const Bad cases[] = {
      {"unknown column", Utf8(u8"编号,价钱\n000001,3\n"), u8"原因：第1行有未知的列：价钱"},
      {"missing file", "", u8"原因：无法读取文件："}};
  for (const Bad& bad : cases) {
    SCOPED_TRACE(bad.name);
    const QString path = bad.text.empty() ? folder.filePath(QStringLiteral("没有.csv"))
                                          : WriteFile(bad.name, bad.text);
    app.Shown.clear();
    ChooseAndPreview(path);
    EXPECT_EQ(LastShown().rfind(Utf8(u8"预览失败，没有导入任何数据。\r\n") + Utf8(bad.reason), 0),
              0u)
        << LastShown();
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_TRUE(w->isVisible());
  }
  // A folder that cannot be written to.
  app.Shown.clear();
  TPromptService::SetNextFile(folder.filePath(QStringLiteral("没有的目录/x.csv")));
  Click(w->btnExport);
  EXPECT_EQ(LastShown().rfind(Utf8(u8"导出目录失败。\r\n原因：无法写入文件："), 0), 0u)
      << LastShown();
}

}  // namespace
