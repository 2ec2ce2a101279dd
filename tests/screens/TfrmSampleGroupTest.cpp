#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <functional>

#include "ColumnWidths.h"
#include "HandlerConnect.h"
#include "ScreenTest.h"
#include "TDBObjectList.h"
#include "TPermissionAction.h"
#include "TPromptService.h"
#include "TSampleGroup.h"
#include "TfrmSampleGroup.h"
#include "TfrmSampleGroupEdit.h"

namespace {

using Fill = std::function<void(TfrmSampleGroupEdit*)>;

class TfrmSampleGroupTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    // Listed by ID: 血清 (2), 全血 (0), 尿液 (4), 血清（复） (2 again).
    db.Exec(
        u8"INSERT INTO TJSampleType (ID, SampleTypeID, SampleTypeName) VALUES "
        u8"(3, 4, '尿液'), (1, 2, '血清'), (2, 0, '全血'), (4, 2, '血清（复）')");
    db.Exec(
        u8"INSERT INTO TJSampleGroup (GroupID, SampleTypeID, GroupName) VALUES "
        u8"(1, 2, '红头管'), (2, 9, '无主管'), (3, 0, '紫头管')");
  }
  TfrmSampleGroup* OpenWindow() {
    w = Open<TfrmSampleGroup>();
    grid = w->tsgrdData;
    return w;
  }
  /// The three columns of a grid row (the hidden one last).
  QStringList RowTexts(int row) const {
    QStringList texts;
    for (int column = 0; column < 3; ++column) texts << grid->item(row, column)->text();
    return texts;
  }
  long long Groups() { return db.QueryInt(u8"SELECT count(*) FROM TJSampleGroup"); }
  std::string GroupRow(int groupID) {
    return db.QueryText(
        "SELECT SampleTypeID || '|' || GroupName FROM TJSampleGroup WHERE "
        "GroupID = " +
        std::to_string(groupID));
  }
  /// Answers the next dialog with `answer` after `fill` ran on it.
  static void AnswerDialog(TPromptAnswer answer, Fill fill = {}) {
    TPromptService::SetNextDialog(answer, [fill](QDialog* dialog) {
      auto* edit = qobject_cast<TfrmSampleGroupEdit*>(dialog);
      ASSERT_NE(edit, nullptr);
      if (fill) fill(edit);
    });
  }
  /// Fills the dialog as a user would: the sample type by its entry text,
  /// the name typed over the field.
  static Fill Choose(const QString& sampleType, const QString& name) {
    return [sampleType, name](TfrmSampleGroupEdit* d) {
      d->cbbSampleType->setCurrentIndex(d->cbbSampleType->findText(sampleType));
      d->edtSampleGroupName->setText(name);
    };
  }
  void Click(QToolButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    Settle();
  }
  size_t Prompts() const { return TPromptService::History().size(); }

  TfrmSampleGroup* w = nullptr;
  QTableWidget* grid = nullptr;
};

}  // namespace

TEST_F(TfrmSampleGroupTest, ListsEveryGroupWithItsSampleTypeNameUnderTheToolbar) {
  OpenWindow();
  EXPECT_EQ(w->windowTitle(), QStringLiteral("试管类型"));
  EXPECT_EQ(w->size(), QSize(481, 356));
  ASSERT_EQ(grid->rowCount(), 3);
  EXPECT_EQ(RowTexts(0),
            (QStringList{QStringLiteral("血清"), QStringLiteral("红头管"), QStringLiteral("2")}));
  // A sample type the list does not hold names nothing.
  EXPECT_EQ(RowTexts(1), (QStringList{QString(), QStringLiteral("无主管"), QStringLiteral("9")}));
  EXPECT_EQ(RowTexts(2),
            (QStringList{QStringLiteral("全血"), QStringLiteral("紫头管"), QStringLiteral("0")}));
  EXPECT_EQ(grid->currentRow(), 0);           // Edit works without a click
  EXPECT_EQ(w->SampleTypeNameOf(2), "血清");  // the first of the two with 2
  EXPECT_EQ(w->SampleTypeList().Count(), 4);
  EXPECT_EQ(w->Groups().Count(), 3);
  EXPECT_TRUE(grid->isColumnHidden(2));
  EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QStringLiteral("样品类别"));
  EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), QStringLiteral("试管名"));
  // The grid's context menu copies the selected row's visible cells.
  grid->selectRow(2);
  grid->findChild<QAction*>(QStringLiteral("actGridCopy"))->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("全血\t紫头管"));

  // Add, Edit, Delete, Exit with separators between, captions, hints and glyphs.
  QStringList bar;
  for (QAction* action : w->dxBarManager1->actions())
    bar << (action->isSeparator() ? QStringLiteral("|")
                                  : w->dxBarManager1->widgetForAction(action)->objectName());
  EXPECT_EQ(bar,
            (QStringList{QStringLiteral("flatAdd"), QStringLiteral("|"), QStringLiteral("flatEdit"),
                         QStringLiteral("|"), QStringLiteral("flatDelete"), QStringLiteral("|"),
                         QStringLiteral("flatHistory"), QStringLiteral("|"),
                         QStringLiteral("flatExit")}));
  for (QToolButton* b : {w->flatAdd, w->flatEdit, w->flatDelete, w->flatExit}) {
    EXPECT_FALSE(b->icon().isNull()) << b->objectName().toStdString();
    EXPECT_EQ(b->toolTip(), b->text());
  }
  EXPECT_EQ(w->flatEdit->text(), QStringLiteral("修改"));
  EXPECT_LT(w->dxBarManager1->geometry().bottom(), w->pnl2->geometry().top());
  EXPECT_EQ(host.Names(w), (std::vector<std::string>{"create", "show", "activate"}));
}

TEST_F(TfrmSampleGroupTest, AddProposesSampleTypeZeroCancelChangesNothingOkInsertsAndAppends) {
  OpenWindow();
  QString proposedType, proposedName = QStringLiteral("?");
  AnswerDialog(TPromptAnswer::Rejected, [&](TfrmSampleGroupEdit* d) {
    proposedType = d->cbbSampleType->currentText();
    proposedName = d->edtSampleGroupName->text();
    Choose(QStringLiteral("尿液"), QStringLiteral("作废"))(d);
  });
  Click(w->flatAdd);
  EXPECT_EQ(proposedType, QStringLiteral("全血"));  // the sample type numbered 0
  EXPECT_EQ(proposedName, QString());
  EXPECT_EQ(Groups(), 3);
  EXPECT_EQ(grid->rowCount(), 3);
  EXPECT_EQ(TPromptService::History().back().Caption, QStringLiteral("编辑试管类型"));

  AnswerDialog(TPromptAnswer::Accepted,
               Choose(QStringLiteral("尿液"), QStringLiteral("O'Brien 尿杯")));
  Click(w->flatAdd);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(GroupRow(4), Utf8(u8"4|O'Brien 尿杯"));
  ASSERT_EQ(grid->rowCount(), 4);
  EXPECT_EQ(RowTexts(3), (QStringList{QStringLiteral("尿液"), QStringLiteral("O'Brien 尿杯"),
                                      QStringLiteral("4")}));
  EXPECT_EQ(grid->currentRow(), 3);
  EXPECT_EQ(w->Groups().ItemAs<TSampleGroup>(3)->GroupID, 4);
  // Each dialog was freed when its click was done.
  EXPECT_TRUE(w->findChildren<TfrmSampleGroupEdit*>().isEmpty());

  auto* again = Open<TfrmSampleGroup>();
  ASSERT_EQ(again->tsgrdData->rowCount(), 4);
  EXPECT_EQ(again->tsgrdData->item(3, 1)->text(), QStringLiteral("O'Brien 尿杯"));
}

TEST_F(TfrmSampleGroupTest, WithoutSampleTypeZeroAddProposesNoneAndATubeNeedsTypeAndName) {
  db.Exec(u8"UPDATE TJSampleType SET SampleTypeID = 7 WHERE SampleTypeID = 0");
  OpenWindow();
  int proposedIndex = 0;
  AnswerDialog(TPromptAnswer::Accepted, [&](TfrmSampleGroupEdit* d) {
    proposedIndex = d->cbbSampleType->currentIndex();
    d->edtSampleGroupName->setText(QStringLiteral("新管"));
  });
  Click(w->flatAdd);  // an answer that did not come through OK: the window checks it
  EXPECT_EQ(proposedIndex, -1);
  EXPECT_EQ(LastShown(), Utf8(u8"请选择样品类型。"));
  grid->setCurrentCell(0, 0);
  AnswerDialog(TPromptAnswer::Accepted, Choose(QStringLiteral("尿液"), QStringLiteral("  ")));
  Click(w->flatEdit);
  EXPECT_EQ(LastShown(), Utf8(u8"请输入样品试管名。"));
  EXPECT_EQ(GroupRow(1), Utf8(u8"2|红头管"));
  EXPECT_EQ(Groups(), 3);
  EXPECT_EQ(RowTexts(0)[1], QStringLiteral("红头管"));

  // A person pressing 确定: the dialog says what is missing and stays open
  // on that field; with both filled in it closes.
  struct Case {
    QString sampleType, name, message;
  };
  for (const Case& c :
       {Case{QString(), QStringLiteral("新管"), QStringLiteral("请选择样品类型。")},
        Case{QStringLiteral("尿液"), QString(), QStringLiteral("请输入样品试管名。")},
        Case{QStringLiteral("尿液"), QStringLiteral("新管"), QString()}}) {
    TfrmSampleGroupEdit dialog(w);
    dialog.SetSampleTypes(w->SampleTypeList());
    dialog.SetSampleTypeID(0);
    Choose(c.sampleType, c.name)(&dialog);
    dialog.show();
    TPromptService::ClearHistory();
    QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
    Settle();
    EXPECT_EQ(dialog.isVisible(), !c.message.isEmpty()) << c.message.toStdString();
    if (c.message.isEmpty()) {
      EXPECT_EQ(dialog.result(), QDialog::Accepted);
      EXPECT_TRUE(TPromptService::History().empty());
      continue;
    }
    ASSERT_EQ(TPromptService::History().size(), 1u);
    EXPECT_EQ(TPromptService::History().back().Kind, TPromptKind::Warning);
    EXPECT_EQ(TPromptService::History().back().Text, c.message);
    EXPECT_EQ(dialog.focusWidget(), c.sampleType.isEmpty()
                                        ? static_cast<QWidget*>(dialog.cbbSampleType)
                                        : static_cast<QWidget*>(dialog.edtSampleGroupName));
  }
}

// The tube window's commands are guarded like every other window's: buttons
// follow the rights and each command checks the right itself.
TEST_F(TfrmSampleGroupTest, RightsDecideWhichToolbarButtonsWork) {
  struct Case {
    const char* user;
    std::vector<std::string> rights;
    bool add, edit, del;
  };
  const Case cases[] = {{"clerk", {"TJXT201001"}, false, false, false},
                        {"clerk", {"tjxt205003"}, false, true, false},
                        {"clerk", {"TJXT205001", "TJXT205002"}, true, false, true},
                        {"chief", {}, true, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rights.empty() ? std::string(c.user) : c.rights[0]);
    host.User = {};
    host.User.UserName = c.user;
    for (const std::string& code : c.rights) host.User.Rights.push_back({code});
    OpenWindow();
    EXPECT_EQ(w->flatAdd->isEnabled(), c.add);
    EXPECT_EQ(w->flatEdit->isEnabled(), c.edit);
    EXPECT_EQ(w->flatDelete->isEnabled(), c.del);
    EXPECT_TRUE(w->flatExit->isEnabled());
    app.Shown.clear();
    TPromptService::Reset();
    grid->setCurrentCell(0, 0);
    RunHandler([this] { w->RunCommand(w->flatAdd); });
    RunHandler([this] { w->RunCommand(w->flatEdit); });
    RunHandler([this] { w->RunCommand(w->flatDelete); });
    // Only the allowed commands asked anything (every answer is Cancel/No).
    EXPECT_EQ(Prompts(), static_cast<size_t>(c.add + c.edit + c.del));
    EXPECT_EQ(app.Shown.size(), static_cast<size_t>(3 - c.add - c.edit - c.del));
    EXPECT_EQ(Groups(), 3);
    Click(w->flatExit);
  }
  EXPECT_EQ(LastShown(), "");
  host.User.UserName = "clerk";
  OpenWindow();
  grid->setCurrentCell(0, 0);
  RunHandler([this] { w->RunCommand(w->flatDelete); });
  EXPECT_EQ(LastShown(), Utf8(u8"您没有“删除”的权限（功能号 TJXT205002），请与管理员联系！"));
  RunHandler([this] { w->RunCommand(w->flatEdit); });
  EXPECT_EQ(LastShown(), Utf8(u8"您没有“修改”的权限（功能号 TJXT205003），请与管理员联系！"));
  RunHandler([this] { w->RunCommand(w->flatAdd); });
  EXPECT_EQ(LastShown(), Utf8(u8"您没有“增加”的权限（功能号 TJXT205001），请与管理员联系！"));
  EXPECT_EQ(w->pmSampleGroupAdd->text(), QStringLiteral("增加(&A)"));
  EXPECT_EQ(w->pmSampleGroupAdd->Category, "试管");
}

TEST_F(TfrmSampleGroupTest, EditRewritesTheCurrentRowAndAnUnofferedSampleTypeSurvivesARename) {
  OpenWindow();
  grid->setCurrentCell(0, 0);
  QString shownType;
  AnswerDialog(TPromptAnswer::Accepted, [&](TfrmSampleGroupEdit* d) {
    shownType = d->cbbSampleType->currentText();
    Choose(QStringLiteral("尿液"), QStringLiteral("黄头管'分离胶'"))(d);
  });
  Click(w->flatEdit);
  EXPECT_EQ(shownType, QStringLiteral("血清"));
  EXPECT_EQ(GroupRow(1), Utf8(u8"4|黄头管'分离胶'"));
  EXPECT_EQ(RowTexts(0), (QStringList{QStringLiteral("尿液"), QStringLiteral("黄头管'分离胶'"),
                                      QStringLiteral("4")}));

  // The tube of sample type 9 (not in the list): the dialog shows no entry,
  // and renaming it keeps its sample type.
  grid->setCurrentCell(1, 1);
  int shownIndex = 0;
  AnswerDialog(TPromptAnswer::Accepted, [&](TfrmSampleGroupEdit* d) {
    shownIndex = d->cbbSampleType->currentIndex();
    d->edtSampleGroupName->setText(QStringLiteral("改名管"));
  });
  Click(w->flatEdit);
  EXPECT_EQ(shownIndex, -1);
  EXPECT_EQ(GroupRow(2), Utf8(u8"9|改名管"));
  EXPECT_EQ(RowTexts(1), (QStringList{QString(), QStringLiteral("改名管"), QStringLiteral("9")}));

  AnswerDialog(TPromptAnswer::Rejected, Choose(QStringLiteral("全血"), QStringLiteral("不存")));
  Click(w->flatEdit);
  EXPECT_EQ(GroupRow(2), Utf8(u8"9|改名管"));
  EXPECT_TRUE(w->findChildren<TfrmSampleGroupEdit*>().isEmpty());
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
}

TEST_F(TfrmSampleGroupTest, DeleteAsksAndOnlyYesRemovesTheRowAndTheGroup) {
  OpenWindow();
  grid->setCurrentCell(1, 0);
  for (TPromptAnswer answer : {TPromptAnswer::No, TPromptAnswer::Cancel}) {
    TPromptService::SetNextAnswer(answer);
    Click(w->flatDelete);
    EXPECT_EQ(Groups(), 3);
    EXPECT_EQ(grid->rowCount(), 3);
  }
  // The one delete question of every window, naming the tube.
  const TPromptRecord& question = TPromptService::History().back();
  EXPECT_EQ(question.Caption, QStringLiteral("确认"));
  EXPECT_EQ(question.Text, QStringLiteral("是否删除试管。\n无主管"));
  EXPECT_EQ(question.Kind, TPromptKind::Confirmation);

  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  Click(w->flatDelete);
  EXPECT_EQ(GroupRow(2), "");
  EXPECT_EQ(Groups(), 2);
  ASSERT_EQ(grid->rowCount(), 2);
  EXPECT_EQ(RowTexts(1)[1], QStringLiteral("紫头管"));
  EXPECT_EQ(w->Groups().ItemAs<TSampleGroup>(1)->GroupID, 3);  // list and grid stay parallel
}

TEST_F(TfrmSampleGroupTest, EditAndDeleteWithoutACurrentRowDoNothing) {
  db.Exec(u8"DELETE FROM TJSampleGroup");
  OpenWindow();
  ASSERT_EQ(grid->rowCount(), 0);
  TPromptService::SetNextAnswer(TPromptAnswer::Yes);  // would answer a question, if one came
  Click(w->flatDelete);
  Click(w->flatEdit);
  EXPECT_EQ(Prompts(), 0u);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();

  TPromptService::Reset();
  AnswerDialog(TPromptAnswer::Accepted, Choose(QStringLiteral("全血"), QStringLiteral("新管")));
  Click(w->flatAdd);
  grid->setCurrentCell(-1, -1);
  TPromptService::Reset();
  Click(w->flatEdit);
  Click(w->flatDelete);
  EXPECT_EQ(Prompts(), 0u);
  EXPECT_EQ(Groups(), 1);
}

TEST_F(TfrmSampleGroupTest, RefusedWritesShowTheMessageAndLeaveGridAndListAsTheyWere) {
  db.Exec(
      u8"CREATE TRIGGER no_insert BEFORE INSERT ON TJSampleGroup BEGIN "
      u8"SELECT RAISE(ABORT, 'locked for insert'); END;"
      u8"CREATE TRIGGER no_update BEFORE UPDATE ON TJSampleGroup BEGIN "
      u8"SELECT RAISE(ABORT, 'locked for update'); END;"
      u8"CREATE TRIGGER no_delete BEFORE DELETE ON TJSampleGroup BEGIN "
      u8"SELECT RAISE(ABORT, 'locked for delete'); END");
  OpenWindow();
  AnswerDialog(TPromptAnswer::Accepted, Choose(QStringLiteral("尿液"), QStringLiteral("新管")));
  Click(w->flatAdd);
  EXPECT_EQ(LastShown().rfind(Utf8(u8"增加试管失败！\r\nlocked for insert"), 0), 0u) << LastShown();
  EXPECT_EQ(grid->rowCount(), 3);
  EXPECT_EQ(w->Groups().Count(), 3);

  grid->setCurrentCell(0, 0);
  AnswerDialog(TPromptAnswer::Accepted, Choose(QStringLiteral("尿液"), QStringLiteral("改名")));
  Click(w->flatEdit);
  EXPECT_EQ(LastShown().rfind(Utf8(u8"修改试管失败！\r\nlocked for update"), 0), 0u) << LastShown();
  EXPECT_EQ(RowTexts(0)[1], QStringLiteral("红头管"));
  const TSampleGroup* first = w->Groups().ItemAs<TSampleGroup>(0);
  EXPECT_EQ(first->GroupName, "红头管");
  EXPECT_EQ(first->SampleTypeID, 2);

  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  Click(w->flatDelete);
  EXPECT_EQ(LastShown().rfind(Utf8(u8"删除试管失败！\r\nlocked for delete"), 0), 0u) << LastShown();
  EXPECT_EQ(grid->rowCount(), 3);
  EXPECT_EQ(w->Groups().Count(), 3);
  EXPECT_EQ(Groups(), 3);
  EXPECT_EQ(app.Shown.size(), 3u);
}

TEST_F(TfrmSampleGroupTest, TheTubeNameIsLimitedToItsColumnInGbkBytes) {
  OpenWindow();
  QString typed;
  AnswerDialog(TPromptAnswer::Rejected, [&](TfrmSampleGroupEdit* d) {
    // Typed one character at a time, as the keyboard does (管 takes two bytes).
    for (int i = 0; i <= ColumnWidths::GroupName / 2; ++i)
      d->edtSampleGroupName->insert(QStringLiteral("管"));
    typed = d->edtSampleGroupName->text();
  });
  Click(w->flatAdd);
  EXPECT_EQ(typed, QString(ColumnWidths::GroupName / 2, QChar(0x7BA1)));
}

TEST_F(TfrmSampleGroupTest, ATableThatCannotBeReadRefusesTheWindowNamingTheCause) {
  db.Exec(u8"DROP TABLE TJSampleGroup");
  try {
    TMDIChild::Construct<TfrmSampleGroup>(&host);
    ADD_FAILURE() << "the window opened";
  } catch (const std::exception& error) {
    const std::string message = error.what();
    EXPECT_EQ(message.rfind("读取试管类型数据失败，窗口不能打开。\r\n原因：加载数据错误\r\n", 0), 0u)
        << message;
    EXPECT_NE(message.find("no such table: TJSampleGroup"), std::string::npos) << message;
  }
  Settle();
  EXPECT_TRUE(host.Area()->subWindowList().isEmpty());
  EXPECT_EQ(host.Names().front(), "create");
  EXPECT_EQ(host.Names().back(), "destroy");
}
