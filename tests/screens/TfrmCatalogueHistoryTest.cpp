#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>
#include <tuple>

#include "DomainObjects.h"
#include "ScreenTest.h"
#include "TItem.h"
#include "TPromptService.h"
#include "TTableReport.h"
#include "TfrmCatalogueHistory.h"

namespace {

class TfrmCatalogueHistoryTest : public ScreenTest {
 protected:
  // One history row of a known time, as a write of that day left it.
  void AddLine(int change, const char8_t* at, const char8_t* who, const char8_t* kind,
               const char8_t* code, const char8_t* name) {
    db.Exec(std::string("INSERT INTO TJCatalogueHistory (ChangeID, Seq, ChangedAt, OperatorName, "
                        "UserName, Source, TableName, EntryKind, EntryCode, EntryName, Action, "
                        "FieldName, OldValue, NewValue) VALUES (") +
            std::to_string(change) + ", 1, '" + Utf8(at) + "', '" + Utf8(who) +
            "', 'u', 'TfrmItemEdit', 'TJItem', '" + Utf8(kind) + "', '" + Utf8(code) + "', '" +
            Utf8(name) + Utf8(u8"', '修改', 'UnitPrice', '1.00', '2.00')"));
  }
  void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    Settle();
  }
  // The grid's 编码 column, top to bottom.
  static QStringList Codes(const TfrmCatalogueHistory* w) {
    QStringList codes;
    for (int r = 0; r < w->tsgHistory->rowCount(); ++r) codes << w->tsgHistory->item(r, 4)->text();
    return codes;
  }
  // The page's width and the leftmost and rightmost word edges of the
  // PDF's first page (pdftotext -bbox), in points.
  static std::tuple<double, double, double> WordSpan(const QString& pdf) {
    QProcess run;
    run.start(QStringLiteral(TESMIRA_PDFTOTEXT), {QStringLiteral("-bbox"), QStringLiteral("-l"),
                                                  QStringLiteral("1"), pdf, QStringLiteral("-")});
    run.waitForFinished();
    const QString html = QString::fromUtf8(run.readAllStandardOutput());
    const QRegularExpression page(QStringLiteral("<page width=\"([0-9.]+)\""));
    const QRegularExpression word(
        QStringLiteral("xMin=\"(-?[0-9.]+)\" yMin=\"[^\"]*\" "
                       "xMax=\"(-?[0-9.]+)\""));
    double left = 1e9, right = -1e9;
    for (const auto& m : word.globalMatch(html)) {
      left = std::min(left, m.captured(1).toDouble());
      right = std::max(right, m.captured(2).toDouble());
    }
    return {page.match(html).captured(1).toDouble(), left, right};
  }
  TWriteContext AsItemWindow() { return {&host.User, "TfrmItemEdit"}; }
  std::string Price(const std::string& code) {
    return db.QueryText("SELECT UnitPrice FROM TJItem WHERE ItemCode = '" + code + "'");
  }
};

// The four filters of the window, each alone and together: the date range
// takes its end day whole, the operator choice lists the operators found.
TEST_F(TfrmCatalogueHistoryTest, TheFiltersNarrowTheLines) {
  AddLine(1, u8"2026-02-28 23:59:59", u8"李四", u8"类别", u8"01", u8"检验");
  AddLine(2, u8"2026-03-01 00:00:00", u8"张三", u8"项目", u8"0101", u8"血糖");
  AddLine(3, u8"2026-03-31 23:59:59", u8"李四", u8"套餐", u8"9001", u8"入职体检");
  AddLine(4, u8"2026-04-01 00:00:00", u8"张三", u8"项目", u8"0102", u8"血常规");
  auto* w = Open<TfrmCatalogueHistory>();
  EXPECT_EQ(w->dtpFrom->date(), QDate::currentDate().addDays(-30));
  EXPECT_EQ(w->dtpTo->date(), QDate::currentDate());
  ASSERT_EQ(w->cmbOperator->count(), 3);
  EXPECT_EQ(w->cmbOperator->currentText(), QStringLiteral("全部"));
  EXPECT_EQ(w->cmbKind->currentText(), QStringLiteral("全部"));

  struct TCase {
    QDate from, to;
    QString who, kind, part;
    QStringList codes;
  };
  const QDate march1(2026, 3, 1), march31(2026, 3, 31), year(2026, 1, 1), end(2026, 12, 31);
  const TCase cases[] = {
      {march1, march31, Q(u8"全部"), Q(u8"全部"), {}, {Q(u8"9001"), Q(u8"0101")}},
      {year, march1.addDays(-1), Q(u8"全部"), Q(u8"全部"), {}, {Q(u8"01")}},
      {year, end, Q(u8"李四"), Q(u8"全部"), {}, {Q(u8"9001"), Q(u8"01")}},
      {year, end, Q(u8"全部"), Q(u8"项目"), {}, {Q(u8"0102"), Q(u8"0101")}},
      {year, end, Q(u8"全部"), Q(u8"全部"), Q(u8"血"), {Q(u8"0102"), Q(u8"0101")}},
      {year, end, Q(u8"全部"), Q(u8"全部"), Q(u8"900"), {Q(u8"9001")}},
      {march1, end, Q(u8"张三"), Q(u8"项目"), Q(u8"血常"), {Q(u8"0102")}},
      {march31.addDays(2), end, Q(u8"李四"), Q(u8"全部"), {}, {}},
  };
  for (const TCase& c : cases) {
    w->dtpFrom->setDate(c.from);
    w->dtpTo->setDate(c.to);
    w->cmbOperator->setCurrentText(c.who);
    w->cmbKind->setCurrentText(c.kind);
    TypeInto(w->edtCodeOrName, c.part);
    Click(w->btnQuery);
    EXPECT_EQ(Codes(w), c.codes) << c.from.toString().toStdString() << " " << c.who.toStdString()
                                 << " " << c.kind.toStdString() << " " << c.part.toStdString();
  }
  // A range that ends before it starts is refused; the lines stay.
  w->dtpFrom->setDate(end);
  w->dtpTo->setDate(year);
  Click(w->btnQuery);
  EXPECT_EQ(TPromptService::History().back().Text, Q(u8"开始日期不能晚于结束日期。"));
}

// Each command follows its right: a user who may only look sees the lines
// but cannot undo or print, and the undo refuses itself when called by
// name; a user without the query right opens an empty window.
TEST_F(TfrmCatalogueHistoryTest, RightsDisableTheButtonsAndTheHandlersRefuse) {
  AddLine(1, u8"2026-03-01 00:00:00", u8"张三", u8"项目", u8"0101", u8"血糖");
  host.User.UserName = "clerk";
  host.User.Rights = {{"TJXT207001"}};
  auto* reader = Open<TfrmCatalogueHistory>();
  reader->dtpFrom->setDate(QDate(2026, 1, 1));
  Click(reader->btnQuery);
  EXPECT_EQ(reader->tsgHistory->rowCount(), 1);
  EXPECT_TRUE(reader->btnQuery->isEnabled());
  EXPECT_FALSE(reader->btnUndo->isEnabled());
  EXPECT_FALSE(reader->btnPrint->isEnabled());
  EXPECT_THROW(reader->RunCommand(reader->btnUndo), std::exception);
  EXPECT_THROW(reader->RunCommand(reader->btnPrint), std::exception);
  EXPECT_EQ(db.QueryInt("SELECT count(*) FROM TJCatalogueHistory"), 1);

  host.User.Rights = {};
  auto* none = Open<TfrmCatalogueHistory>();
  EXPECT_FALSE(none->btnQuery->isEnabled());
  EXPECT_EQ(none->tsgHistory->rowCount(), 0);
  EXPECT_THROW(none->RunCommand(none->btnQuery), std::exception);
}

// A price changed in the item window is put back from the history window:
// the question names the entry and the change, the price is the old one,
// the undo is the newest line, and a second undo of the same change is
// refused with the rule's message while the window stays open.
TEST_F(TfrmCatalogueHistoryTest, UndoOfAPriceChangeRestoresThePriceAndIsRecorded) {
  TItem item(DomainObjects::SharedPool());
  item.ItemName = "血糖";
  item.UnitPrice = 12.5;
  item.Save(AsItemWindow());
  item.UnitPrice = 15;
  item.Save(AsItemWindow());
  ASSERT_EQ(std::stod(Price(item.ItemCode)), 15.0);

  auto* w = Open<TfrmCatalogueHistory>();
  TypeInto(w->edtCodeOrName, QString::fromStdString(item.ItemCode));
  Click(w->btnQuery);
  ASSERT_GT(w->tsgHistory->rowCount(), 1);
  ASSERT_EQ(w->tsgHistory->item(0, 6)->text(), Q(u8"修改"));
  w->tsgHistory->setCurrentCell(0, 0);
  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  Click(w->btnUndo);
  const QString question = TPromptService::History().back().Text;
  EXPECT_TRUE(question.startsWith(Q(u8"您确定要撤销这次修改吗？"))) << question.toStdString();
  EXPECT_TRUE(question.contains(Q(u8"修改项目“血糖”"))) << question.toStdString();
  EXPECT_TRUE(question.contains(Q(u8"UnitPrice：12.50 → 15.00"))) << question.toStdString();
  EXPECT_EQ(std::stod(Price(item.ItemCode)), 12.5);
  EXPECT_EQ(w->tsgHistory->item(0, 2)->text().left(20), Q(u8"TfrmCatalogueHistory"));
  EXPECT_EQ(w->tsgHistory->item(0, 8)->text(), Q(u8"15.00"));
  EXPECT_EQ(w->tsgHistory->item(0, 9)->text(), Q(u8"12.50"));
  EXPECT_EQ(w->tsgHistory->item(0, 1)->text(), Q(u8"张医生"));

  // The same change again: its price was changed since (by the undo).
  const int rows = w->tsgHistory->rowCount();
  w->tsgHistory->setCurrentCell(rows > 1 ? 1 : 0, 0);
  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  Click(w->btnUndo);
  EXPECT_EQ(TPromptService::History().back().Kind, TPromptKind::Warning);
  EXPECT_TRUE(TPromptService::History().back().Text.contains(Q(u8"又改过")));
  EXPECT_EQ(std::stod(Price(item.ItemCode)), 12.5);
  EXPECT_EQ(w->tsgHistory->rowCount(), rows);
  EXPECT_TRUE(w->isVisible());
}

// The report holds the lines shown, with the filter they were read with as
// its title line, and prints through the preview to a PDF.
TEST_F(TfrmCatalogueHistoryTest, TheReportHoldsTheFilteredLines) {
  AddLine(1, u8"2026-03-01 08:00:00", u8"张三", u8"项目", u8"0101", u8"血糖");
  AddLine(2, u8"2026-03-02 09:00:00", u8"李四", u8"套餐", u8"9001", u8"入职体检");
  auto* w = Open<TfrmCatalogueHistory>();
  w->dtpFrom->setDate(QDate(2026, 3, 1));
  w->dtpTo->setDate(QDate(2026, 3, 31));
  w->cmbKind->setCurrentText(Q(u8"项目"));
  TypeInto(w->edtCodeOrName, Q(u8"血糖"));
  Click(w->btnQuery);
  const TTableReport report = w->HistoryReport();
  EXPECT_EQ(report.Title(),
            Q(u8"目录变更历史（2026-03-01 至 2026-03-31，操作员：全部，种类：项目，"
              u8"编码或名称含“血糖”）"));
  ASSERT_EQ(report.Columns().size(), 10u);
  EXPECT_EQ(report.Columns()[4].Heading, Q(u8"编码"));
  ASSERT_EQ(report.Rows().size(), 1u);
  EXPECT_EQ(report.Rows()[0].Cells,
            (QStringList{Q(u8"2026-03-01 08:00:00"), Q(u8"张三"), Q(u8"TfrmItemEdit"), Q(u8"项目"),
                         Q(u8"0101"), Q(u8"血糖"), Q(u8"修改"), Q(u8"UnitPrice"), Q(u8"1.00"),
                         Q(u8"2.00")}));

  QTemporaryDir folder;
  const QString pdf = folder.filePath(QStringLiteral("history.pdf"));
  EXPECT_EQ(PrintThroughPreview(w->btnPrint, pdf), 1);
  const QStringList pages = PdfPages(pdf);
  ASSERT_EQ(pages.size(), 1);
  EXPECT_TRUE(pages[0].contains(Q(u8"血糖")));
  // The title line is wider than the page at the title's size: it is set
  // smaller, so every word of the page lies on the page.
  EXPECT_TRUE(pages[0].contains(report.Title())) << pages[0].toStdString();
  const auto [pageWidth, left, right] = WordSpan(pdf);
  EXPECT_GE(left, 0.0);
  EXPECT_LE(right, pageWidth);
  EXPECT_FALSE(pages[0].contains(Q(u8"入职体检")));

  // Nothing found: a hint, no preview.
  w->cmbKind->setCurrentText(Q(u8"试管"));
  Click(w->btnQuery);
  Click(w->btnPrint);
  EXPECT_EQ(TPromptService::History().back().Text,
            Q(u8"没有符合条件的修改记录，没有可打印的内容。"));
}

}  // namespace
