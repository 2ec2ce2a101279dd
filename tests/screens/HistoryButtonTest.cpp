#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include "ScreenTest.h"
#include "THistoryDialog.h"
#include "TPromptService.h"
#include "TfrmItemEdit.h"
#include "TfrmSampleGroup.h"
#include "TfrmSampleGroupEdit.h"

namespace {

class HistoryButtonTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    db.Exec(u8"INSERT INTO TJSampleType (ID, SampleTypeID, SampleTypeName) VALUES (1, 2, '血清')");
    db.Exec(
        u8"INSERT INTO TJSampleGroup (GroupID, SampleTypeID, GroupName) VALUES (1, 2, '红头管')");
  }
  void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    Settle();
  }
  std::string GroupName() {
    return db.QueryText("SELECT GroupName FROM TJSampleGroup WHERE GroupID = 1");
  }
  static QStringList RowTexts(QTableWidget* grid, int row) {
    QStringList texts;
    for (int column = 0; column < grid->columnCount(); ++column)
      texts << grid->item(row, column)->text();
    return texts;
  }
};

// A clerk renames a tube, opens its history, sees who changed what, and
// undoes the change from the grid: the database has the old name again and
// the undo is the newest line.
TEST_F(HistoryButtonTest, TheHistoryOfATubeShowsTheChangeAndUndoesIt) {
  auto* w = Open<TfrmSampleGroup>();
  w->tsgrdData->setCurrentCell(0, 0);
  TPromptService::SetNextDialog(TPromptAnswer::Accepted, [](QDialog* dialog) {
    auto* edit = qobject_cast<TfrmSampleGroupEdit*>(dialog);
    edit->edtSampleGroupName->setText(QStringLiteral("紫头管"));
  });
  Click(w->flatEdit);
  ASSERT_EQ(GroupName(), Utf8(u8"紫头管"));

  QStringList shown, afterUndo;
  TPromptService::SetNextDialog(TPromptAnswer::Rejected, [&](QDialog* dialog) {
    auto* history = dynamic_cast<THistoryDialog*>(dialog);
    ASSERT_NE(history, nullptr);
    ASSERT_EQ(history->tsgHistory->rowCount(), 1);
    shown = RowTexts(history->tsgHistory, 0);
    history->tsgHistory->setCurrentCell(0, 0);
    TPromptService::SetNextAnswer(TPromptAnswer::Yes);
    QTest::mouseClick(history->btnUndo, Qt::LeftButton);
    afterUndo = RowTexts(history->tsgHistory, 0);
  });
  Click(w->flatHistory);
  ASSERT_EQ(shown.size(), 6);
  EXPECT_EQ(shown[1], QStringLiteral("张医生"));
  EXPECT_EQ(shown.mid(2), (QStringList{QStringLiteral("修改"), QStringLiteral("GroupName"),
                                       QStringLiteral("红头管"), QStringLiteral("紫头管")}));
  EXPECT_EQ(GroupName(), Utf8(u8"红头管"));
  EXPECT_EQ(afterUndo.mid(4), (QStringList{QStringLiteral("紫头管"), QStringLiteral("红头管")}));
}

// The history has a right of its own: a user without it sees no button,
// in the tube window and in the item window alike.
TEST_F(HistoryButtonTest, AUserWithoutTheHistoryRightSeesNoButton) {
  host.User.UserName = "clerk";
  host.User.Rights = {{"TJXT205001"}, {"TJXT205003"}, {"TJXT202004"}};
  auto* tubes = Open<TfrmSampleGroup>();
  EXPECT_TRUE(tubes->flatHistory->isHidden());
  EXPECT_FALSE(tubes->flatEdit->isHidden());
  auto* items = Open<TfrmItemEdit>();
  EXPECT_TRUE(items->btnHistory->isHidden());

  host.User.Rights.push_back({"TJXT202007"});
  auto* allowed = Open<TfrmItemEdit>();
  EXPECT_FALSE(allowed->btnHistory->isHidden());
  EXPECT_TRUE(allowed->btnHistory->isEnabled());
}

}  // namespace
