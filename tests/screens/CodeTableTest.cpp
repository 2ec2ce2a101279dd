// The code tables of the category, item and check set windows: printed the
// way a clerk prints them (button, preview, "save as PDF", file dialog) into
// a real PDF file, which is read back as text with pdftotext.
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <map>

#include "HandlerConnect.h"
#include "QtText.h"
#include "ScreenTest.h"
#include "TBaseItem.h"
#include "TPromptService.h"
#include "TfamCateToItemTree.h"
#include "TfamCateTree.h"
#include "TfamCategory.h"
#include "TfamCheckSetItem.h"
#include "TfamCheckSetTree.h"
#include "TfrmCategorie.h"
#include "TfrmCheckSet.h"
#include "TfrmItemEdit.h"
#include "TreeNodeData.h"

namespace {

const QRegularExpression kDataRow(QStringLiteral("^(\\d{6}) "));

class CodeTableTest : public ScreenTest {
 protected:
  QString PdfFile(const char* name) const {
    return QDir(QString::fromStdString(db.Folder())).filePath(QString::fromUtf8(name));
  }

  // The lines of each page between its heading row and its footer, after
  // checking that every page starts with the title, today's date and the
  // heading row and ends with "第 n 页 / 共 m 页".
  static QList<QStringList> Bodies(const QStringList& pages, const QString& title,
                                   const QString& heading) {
    const QString date =
        QStringLiteral("打印日期：") + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    QList<QStringList> bodies;
    for (int n = 0; n < pages.size(); ++n) {
      QStringList lines = pages[n].split(QLatin1Char('\n'), Qt::SkipEmptyParts);
      if (lines.size() < 4) {
        ADD_FAILURE() << "page " << n + 1 << " holds no table: " << pages[n].toStdString();
        continue;
      }
      EXPECT_EQ(lines.takeFirst(), title) << "page " << n + 1;
      EXPECT_EQ(lines.takeFirst(), date) << "page " << n + 1;
      EXPECT_EQ(lines.takeFirst(), heading) << "page " << n + 1;
      EXPECT_EQ(lines.takeLast(),
                QStringLiteral("第 %1 页 / 共 %2 页").arg(n + 1).arg(pages.size()));
      bodies << lines;
    }
    return bodies;
  }

  // The table's lines in order. A group that goes on over a page break opens
  // the next page with its line marked "（续）"; checked here, then dropped.
  // `isGroup` tells group lines from the others.
  static QStringList Rows(const QList<QStringList>& bodies,
                          const std::function<bool(const QString&)>& isGroup = IsCategoryLine) {
    QStringList rows;
    QString group;
    for (const QStringList& body : bodies) {
      for (const QString& line : body) {
        if (line.endsWith(QStringLiteral("（续）"))) {
          EXPECT_TRUE(&line == &body.front() && line == group + QStringLiteral("（续）"))
              << line.toStdString() << " continues " << group.toStdString();
          continue;
        }
        if (isGroup(line)) group = line;
        rows << line;
      }
    }
    return rows;
  }

  static bool IsCategoryLine(const QString& line) { return !kDataRow.match(line).hasMatch(); }

  std::string Query(const std::string& utf8Sql) { return db.QueryText(utf8Sql); }
  // The messages of the kind that the prompt service put up so far.
  static QStringList Prompts(TPromptKind kind) {
    QStringList texts;
    for (const TPromptRecord& record : TPromptService::History())
      if (record.Kind == kind) texts << record.Text;
    return texts;
  }
  static std::string Quoted(const QString& text) {
    return QString(text).replace(QLatin1Char('\''), QStringLiteral("''")).toStdString();
  }
};

}  // namespace

TEST_F(CodeTableTest, CategoriesPrintInTreeOrderWithNamesAsTyped) {
  LoadDemoData();
  auto* w = Open<TfrmCategorie>();
  // Typed by the clerk: quotes, and a character beyond GBK.
  const QStringList typed = {QStringLiteral("体检 \"O'Brien\" 科"), QStringLiteral("刘䶮专科")};
  for (const QString& name : typed) {
    QTest::mouseClick(w->btnADD, Qt::LeftButton);
    TypeInto(w->famCategory->edtCateName, name);
    QTest::mouseClick(w->btnSave, Qt::LeftButton);
  }
  ASSERT_TRUE(app.Shown.empty()) << LastShown();

  const QString file = PdfFile("categories.pdf");
  EXPECT_EQ(PrintThroughPreview(w->btnPrintForm, file), 1);
  EXPECT_EQ(Prompts(TPromptKind::Information),
            QStringList{QStringLiteral("已保存为 PDF 文件：") + file});
  const QStringList rows = Rows(Bodies(PdfPages(file), QStringLiteral("类别维护"),
                                       QStringLiteral("类别编号 类别名称 类别类型 显示顺序 启用")));
  // One row per node of the tree, in its order, with the stored values.
  QStringList expected;
  for (const QString& name : TopTexts(w->famCateTree->chkCateTree))
    expected << QString::fromStdString(Query(
        Utf8(u8"SELECT CateCode || ' ' || CateName || ' ' || CASE CateType WHEN 0 THEN '检查科' "
             u8"WHEN 1 THEN '检验科' ELSE '功能科' END || ' ' || DispOrder || ' ' || "
             u8"CASE IsInUse WHEN 1 THEN '是' ELSE '否' END FROM TJCategories WHERE CateName = '") +
        Quoted(name) + "'"));
  EXPECT_EQ(rows, expected);
  ASSERT_EQ(rows.size(), 15);
  EXPECT_EQ(rows[0], QStringLiteral("000001 一般检查 检查科 1 是"));
  EXPECT_TRUE(rows[13].contains(QStringLiteral(" 体检 \"O'Brien\" 科 "))) << rows[13].toStdString();
  EXPECT_TRUE(rows[14].contains(QStringLiteral(" 刘䶮专科 "))) << rows[14].toStdString();
}

TEST_F(CodeTableTest, EveryDemoItemPrintsOnceUnderItsCategoryInTreeOrder) {
  LoadDemoData();
  auto* w = Open<TfrmItemEdit>();
  EXPECT_TRUE(w->RzButton3->isVisible());
  const QString file = PdfFile("items.pdf");
  const int previewPages = PrintThroughPreview(w->RzButton3, file);
  const QStringList pages = PdfPages(file);
  EXPECT_GT(pages.size(), 1);
  EXPECT_EQ(previewPages, pages.size());  // the preview shows what is saved
  const QStringList rows =
      Rows(Bodies(pages, QStringLiteral("项目维护"),
                  QStringLiteral("项目编号 项目名称 拼音编码 单位 参考范围 单价 启用")));

  // The tree's order: each category that has items, then its items.
  QStringList expected;
  QTreeWidget* tree = w->famCateToItemTree->chkCateTree;
  for (int i = 0; i < tree->topLevelItemCount(); ++i) {
    QTreeWidgetItem* category = tree->topLevelItem(i);
    if (category->childCount() > 0) expected << category->text(0);
    for (int j = 0; j < category->childCount(); ++j) {
      const auto* item = dynamic_cast<TBaseItem*>(TreeNodeData::Object(category->child(j)));
      expected << QtText::ToQ(item->ItemCode) + QLatin1Char(' ') + QtText::ToQ(item->ItemName);
    }
  }
  ASSERT_EQ(rows.size(), expected.size());
  // Every examination item of the database once, under the category the
  // database gives it.
  std::map<QString, int> seen;
  QString group;
  for (int i = 0; i < rows.size(); ++i) {
    const auto row = kDataRow.match(rows[i]);
    if (!row.hasMatch()) {
      EXPECT_EQ(rows[i], expected[i]);
      group = rows[i];
      continue;
    }
    EXPECT_TRUE(rows[i].startsWith(expected[i] + QLatin1Char(' '))) << rows[i].toStdString();
    const QString code = row.captured(1);
    ++seen[code];
    EXPECT_EQ(QString::fromStdString(Query(
                  "SELECT c.CateName FROM TJItem i JOIN TJCategories c ON c.CateID = i.CateId "
                  "WHERE i.ItemType = 0 AND i.ItemCode = '" +
                  code.toStdString() + "'")),
              group)
        << code.toStdString();
  }
  EXPECT_EQ(static_cast<long long>(seen.size()),
            db.QueryInt(u8"SELECT count(*) FROM TJItem WHERE ItemType = 0"));
  for (const auto& [code, times] : seen) EXPECT_EQ(times, 1) << code.toStdString();
  // Limits, or the normal result of a text item; price and flag.
  EXPECT_TRUE(rows.contains(QStringLiteral("000007 心率 XL 次/分 60～100 0.00 是")));
  EXPECT_TRUE(rows.contains(QStringLiteral("000052 尿蛋白 NDB 阴性 0.00 是")));
}

TEST_F(CodeTableTest, AThousandItemsFillEveryPageButTheLastWithTheHeadingRowOnEach) {
  db.Exec(
      u8"INSERT INTO TJCategories (CateID, CateCode, CateName) VALUES (1, '000001', '血液检验')");
  db.Exec(
      u8"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
      u8"INSERT INTO TJItem (ItemID, ItemCode, ItemName, ItemType, CateId, CateName, AbForPY, "
      u8"ItemUnit, UpLimit, LowerLimit, UnitPrice, IsInUse) SELECT i, printf('%06d', i), "
      u8"printf('检验项目%04d', i), 0, 1, '血液检验', printf('JYXM%04d', i), 'g/L', '10', '1', "
      u8"i / 4.0, 1 FROM n");
  auto* w = Open<TfrmItemEdit>();
  const QString file = PdfFile("thousand.pdf");
  const int previewPages = PrintThroughPreview(w->RzButton3, file);
  const QStringList pages = PdfPages(file);
  const QList<QStringList> bodies =
      Bodies(pages, QStringLiteral("项目维护"),
             QStringLiteral("项目编号 项目名称 拼音编码 单位 参考范围 单价 启用"));
  ASSERT_GT(bodies.size(), 10);
  EXPECT_EQ(previewPages, pages.size());

  const auto dataRows = [](const QStringList& body) {
    return static_cast<int>(body.filter(kDataRow).size());
  };
  // Full pages but the last, which holds the rest: no page too many.
  const int perPage = dataRows(bodies.front());
  ASSERT_GT(perPage, 0);
  for (int n = 1; n + 1 < bodies.size(); ++n) EXPECT_EQ(dataRows(bodies[n]), perPage) << n + 1;
  EXPECT_GE(dataRows(bodies.back()), 1);
  EXPECT_LE(dataRows(bodies.back()), perPage);
  EXPECT_EQ(bodies.size(), (1000 + perPage - 1) / perPage);
  // Every item once, in order; the group goes on from page to page.
  const QStringList rows = Rows(bodies);
  ASSERT_EQ(rows.size(), 1001);
  EXPECT_EQ(rows[0], QStringLiteral("血液检验"));
  for (int i = 1; i <= 1000; ++i)
    ASSERT_TRUE(rows[i].startsWith(QStringLiteral("%1 检验项目%2 JYXM%2 g/L 1～10 ")
                                       .arg(i, 6, 10, QLatin1Char('0'))
                                       .arg(i, 4, 10, QLatin1Char('0'))))
        << rows[i].toStdString();
  EXPECT_EQ(rows[1000], QStringLiteral("001000 检验项目1000 JYXM1000 g/L 1～10 250.00 是"));
  for (int n = 1; n < bodies.size(); ++n)
    EXPECT_EQ(bodies[n].value(0), QStringLiteral("血液检验（续）")) << n + 1;
}

TEST_F(CodeTableTest, EachCheckSetPrintsWithItsMembersAndItsPrice) {
  LoadDemoData();
  auto* w = Open<TfrmCheckSet>();
  const QString file = PdfFile("checksets.pdf");
  PrintThroughPreview(w->famCheckSetItem->btnPrintForm, file);
  // A set's line is its code and name: no price at the end, unlike its
  // members and its price line.
  static const QRegularExpression priced(QStringLiteral(" \\d+\\.\\d\\d$"));
  const QStringList rows = Rows(
      Bodies(PdfPages(file), QStringLiteral("套餐设置"), QStringLiteral("项目编号 项目名称 单价")),
      [](const QString& line) { return !line.contains(priced); });
  // In the tree's order, each set with the members its stored text names.
  QStringList expected;
  QTreeWidget* tree = w->famCheckSetTree->CheckSetTree;
  for (int i = 0; i < tree->topLevelItemCount(); ++i) {
    const auto* set = dynamic_cast<TBaseItem*>(TreeNodeData::Object(tree->topLevelItem(i)));
    const std::string where = " FROM TJItem WHERE ItemCode = '" + set->ItemCode + "'";
    expected << QString::fromStdString(Query("SELECT ItemCode || ' ' || ItemName" + where));
    const QString members = QString::fromStdString(Query("SELECT ItemsString" + where));
    for (const QString& code : members.split(QLatin1Char(';'), Qt::SkipEmptyParts))
      expected << QString::fromStdString(
          Query("SELECT ItemCode || ' ' || ItemName || ' ' || printf('%.2f', UnitPrice) FROM "
                "TJItem WHERE ItemCode = '" +
                code.toStdString() + "'"));
    expected << QString::fromStdString(
        Query(Utf8(u8"SELECT '套餐价格：' || printf('%.2f', UnitPrice)") + where));
  }
  EXPECT_EQ(tree->topLevelItemCount(), 4);
  EXPECT_EQ(rows, expected);
  EXPECT_TRUE(rows.contains(QStringLiteral("套餐价格：523.00")));
}

TEST_F(CodeTableTest, NoRightNothingToPrintAndAnUnwritableFileEndInAMessageAndNoFile) {
  auto* w = Open<TfrmCategorie>();  // an empty catalogue
  const QString empty = PdfFile("empty.pdf");
  EXPECT_EQ(PrintThroughPreview(w->btnPrintForm, empty), 0);
  EXPECT_EQ(LastShown(), Utf8(u8"没有可打印的内容：类别维护中还没有任何数据。"));
  EXPECT_FALSE(QFile::exists(empty));
  TPromptService::Reset();  // the answers meant for the preview were never asked for

  QTest::mouseClick(w->btnADD, Qt::LeftButton);
  TypeInto(w->famCategory->edtCateName, QStringLiteral("一般检查"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  const QString lost = PdfFile("no-such-folder/categories.pdf");
  EXPECT_EQ(PrintThroughPreview(w->btnPrintForm, lost), 1);
  EXPECT_TRUE(QString::fromStdString(LastShown())
                  .startsWith(QStringLiteral("不能保存文件“%1”：").arg(lost)))
      << LastShown();
  EXPECT_FALSE(QDir(PdfFile("no-such-folder")).exists());
  EXPECT_TRUE(Prompts(TPromptKind::Information).isEmpty());  // no "saved" message

  // A clerk without the print right: the button stays visible but cannot
  // be pressed, and neither the handler nor the headless print goes round it.
  host.User = {};
  host.User.UserName = "clerk";
  host.User.Rights = {{"TJXT201001"}, {"TJXT201004"}};
  w->ApplyPermissions();
  EXPECT_TRUE(w->btnPrintForm->isVisible());
  EXPECT_FALSE(w->btnPrintForm->isEnabled());
  TPromptService::Reset();
  RunHandler([w] { w->btnPrintFormClick(); });
  const std::string refusal =
      Utf8(u8"您没有“打印编码表”的权限（功能号 TJXT201006），请与管理员联系！");
  EXPECT_EQ(LastShown(), refusal);
  EXPECT_TRUE(TPromptService::History().empty());  // no preview came
  app.Shown.clear();
  const QString headless = PdfFile("headless.pdf");
  bool written = true;
  EXPECT_TRUE(QMetaObject::invokeMethod(w, "SaveCodeTable", Qt::DirectConnection,
                                        Q_RETURN_ARG(bool, written), Q_ARG(QString, headless)));
  EXPECT_FALSE(written);
  EXPECT_EQ(LastShown(), refusal);
  EXPECT_FALSE(QFile::exists(headless));

  host.User.Rights.push_back({"tjxt201006"});  // granted codes ignore case
  EXPECT_TRUE(QMetaObject::invokeMethod(w, "SaveCodeTable", Qt::DirectConnection,
                                        Q_RETURN_ARG(bool, written), Q_ARG(QString, headless)));
  EXPECT_TRUE(written);
  ASSERT_EQ(PdfPages(headless).size(), 1);
  EXPECT_TRUE(PdfPages(headless)[0].contains(QStringLiteral("000001 一般检查 检查科 0 否")));
}
