#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "QtText.h"
#include "ScreenTest.h"
#include "TCategory.h"
#include "TCategoryManager.h"
#include "TDateTime.h"
#include "TPermissionAction.h"
#include "TRadioGroup.h"
#include "TfamCateTree.h"
#include "TfamCategory.h"
#include "TfrmCategorie.h"

namespace {

class TfrmCategorieTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    db.Exec(
        u8"INSERT INTO TJCategories (CateID, CateCode, CateName, CateType, DispOrder, Remark) "
        u8"VALUES (1, '000001', '一般检查', 0, 1, ''), (2, '000002', '检验科', 1, 2, '空腹')");
  }
  TfrmCategorie* OpenWindow() {
    w = Open<TfrmCategorie>();
    tree = w->famCateTree->chkCateTree;
    f = w->famCategory;
    return w;
  }
  QTreeWidgetItem* Node(int i) { return tree->topLevelItem(i); }
  long long Rows() { return db.QueryInt(u8"SELECT count(*) FROM TJCategories"); }

  TfrmCategorie* w = nullptr;
  QTreeWidget* tree = nullptr;
  TfamCategory* f = nullptr;
};

}  // namespace

TEST_F(TfrmCategorieTest, OpensOnTheCachedCategoriesAndABlankNewCategory) {
  OpenWindow();
  EXPECT_EQ(w->windowTitle(), QStringLiteral("类别维护"));
  EXPECT_EQ(TopTexts(tree), (QStringList{QStringLiteral("一般检查"), QStringLiteral("检验科")}));
  EXPECT_EQ(Node(0)->childCount(), 0);
  EXPECT_EQ(f->medtSort->text(), QStringLiteral("0"));
  EXPECT_EQ(f->edtCateName->text(), QString());
  EXPECT_EQ(f->medtCateCode->text(), QString());
  EXPECT_EQ(f->radCateType->ItemIndex(), 0);
  EXPECT_EQ(f->radCateType->Button(0)->text(), QStringLiteral("检查科"));
  EXPECT_EQ(f->radIsShowLimit->ItemIndex(), 1);  // "否"
  EXPECT_EQ(f->edtModifyOper->text(), QStringLiteral("张医生"));
  EXPECT_FALSE(f->edtModifyOper->isEnabled());
  EXPECT_EQ(f->makModifyDate->text(), QtText::ToQ(TDateTime::Today().FormatDate()));
  EXPECT_EQ(QApplication::focusWidget(), f->medtSort);
  ASSERT_NE(f->Category(), nullptr);
  EXPECT_FALSE(f->Category()->CateID.has_value());
  EXPECT_EQ(host.Names(w), (std::vector<std::string>{"create", "show", "activate"}));
}

TEST_F(TfrmCategorieTest, SavingANewCategoryShowsItsCodeAppendsANodeAndSavesAgainAsUpdate) {
  OpenWindow();
  f->medtSort->setText(QStringLiteral("5"));
  f->edtCateName->setText(QStringLiteral("功能检查"));
  f->radCateType->SetItemIndex(2);
  f->edtCateMemo->setText(QStringLiteral("O'Brien的备注"));
  f->radIsShowLimit->SetItemIndex(0);
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(f->medtCateCode->text(), QStringLiteral("000003"));
  EXPECT_EQ(TopTexts(tree).last(), QStringLiteral("功能检查"));
  EXPECT_EQ(tree->topLevelItemCount(), 3);
  EXPECT_EQ(db.QueryText(u8"SELECT CateName || '|' || CateType || '|' || DispOrder || '|' || "
                         u8"IsDispInRep || '|' || Remark || '|' || ModifiedBy FROM TJCategories "
                         u8"WHERE CateCode = '000003'"),
            Utf8(u8"功能检查|2|5|1|O'Brien的备注|张医生"));
  EXPECT_EQ(db.QueryText(u8"SELECT ModifiedDate FROM TJCategories WHERE CateID = 3").substr(0, 10),
            TDateTime::Today().FormatDate());
  EXPECT_EQ(TCategoryManager::Instance().Categories().Count(), 3);

  f->edtCateInfo->setText(QStringLiteral("心电图、B超"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  EXPECT_EQ(Rows(), 3);
  EXPECT_EQ(tree->topLevelItemCount(), 3);
  EXPECT_EQ(db.QueryText(u8"SELECT CateInfo FROM TJCategories WHERE CateID = 3"),
            Utf8(u8"心电图、B超"));
}

TEST_F(TfrmCategorieTest, RenamingAClickedCategoryChangesItsNodeInPlace) {
  OpenWindow();
  ClickNode(tree, Node(1));
  EXPECT_EQ(f->edtCateName->text(), QStringLiteral("检验科"));
  EXPECT_EQ(f->edtCateMemo->text(), QStringLiteral("空腹"));
  EXPECT_EQ(f->radCateType->ItemIndex(), 1);
  EXPECT_EQ(f->medtCateCode->text(), QStringLiteral("000002"));
  f->edtCateName->setText(QStringLiteral("检验科室"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  EXPECT_EQ(TopTexts(tree), (QStringList{QStringLiteral("一般检查"), QStringLiteral("检验科室")}));
  EXPECT_EQ(db.QueryText(u8"SELECT CateName FROM TJCategories WHERE CateID = 2"),
            Utf8(u8"检验科室"));
  EXPECT_EQ(Rows(), 2);
}

TEST_F(TfrmCategorieTest, ClickOnEmptySpaceReReadsTheLastPressedCategory) {
  OpenWindow();
  ClickEmptySpace(tree);  // nothing pressed yet: nothing happens
  EXPECT_EQ(f->edtCateName->text(), QString());
  ClickNode(tree, Node(0));
  f->edtCateName->setText(QStringLiteral("未保存的输入"));
  db.Exec(u8"UPDATE TJCategories SET CateInfo = '别处改过' WHERE CateID = 1");
  ClickEmptySpace(tree);
  EXPECT_EQ(f->edtCateName->text(), QStringLiteral("一般检查"));
  EXPECT_EQ(f->edtCateInfo->text(), QStringLiteral("别处改过"));
}

TEST_F(TfrmCategorieTest, RefusedDeleteLeavesTreeCacheRowAndEditorAsTheyWere) {
  db.Exec(
      u8"CREATE TRIGGER keep BEFORE DELETE ON TJCategories BEGIN "
      u8"SELECT RAISE(ABORT, 'referenced'); END");
  OpenWindow();
  QTest::mouseClick(w->btnDelete, Qt::LeftButton);  // nothing pressed: nothing to delete
  EXPECT_TRUE(app.Shown.empty());
  ClickNode(tree, Node(0));
  QTest::mouseClick(w->btnDelete, Qt::LeftButton);
  EXPECT_EQ(LastShown(), Utf8(u8"类别[一般检查]已被引用，不能删除！"));
  EXPECT_EQ(tree->topLevelItemCount(), 2);
  EXPECT_EQ(TCategoryManager::Instance().Categories().Count(), 2);
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(f->edtCateName->text(), QStringLiteral("一般检查"));
  EXPECT_NE(f->Category(), nullptr);
}

TEST_F(TfrmCategorieTest, DeleteRemovesTheClickedCategoryAndLeavesNothingToSave) {
  OpenWindow();
  ClickNode(tree, Node(0));
  QTest::mouseClick(w->btnDelete, Qt::LeftButton);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(TopTexts(tree), (QStringList{QStringLiteral("检验科")}));
  EXPECT_EQ(db.QueryInt(u8"SELECT count(*) FROM TJCategories WHERE CateID = 1"), 0);
  EXPECT_EQ(TCategoryManager::Instance().Categories().Count(), 1);
  EXPECT_EQ(f->Category(), nullptr);
  EXPECT_EQ(f->edtCateName->text(), QString());
  EXPECT_EQ(f->medtSort->text(), QStringLiteral("0"));

  f->edtCateName->setText(QStringLiteral("不会保存"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  EXPECT_EQ(Rows(), 1);
  QTest::mouseClick(w->btnDelete, Qt::LeftButton);  // the pressed category is gone
  EXPECT_EQ(Rows(), 1);
}

TEST_F(TfrmCategorieTest, CancelDiscardsTheNewCategoryAndAddStartsAgain) {
  OpenWindow();
  f->edtCateName->setText(QStringLiteral("草稿"));
  QTest::mouseClick(w->btnCancel, Qt::LeftButton);
  EXPECT_EQ(f->Category(), nullptr);
  EXPECT_EQ(f->edtCateName->text(), QString());
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  EXPECT_EQ(Rows(), 2);
  QTest::mouseClick(w->btnADD, Qt::LeftButton);
  ASSERT_NE(f->Category(), nullptr);
  f->edtCateName->setText(QStringLiteral("新类别"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  EXPECT_EQ(Rows(), 3);
  QTest::mouseClick(w->btnPrintForm, Qt::LeftButton);  // does nothing
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
}

TEST_F(TfrmCategorieTest, RefusedSaveShowsTheMessageAndWritesNothing) {
  OpenWindow();
  f->edtCateName->setText(QStringLiteral("X"));
  f->medtSort->setText(QStringLiteral("第一"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  EXPECT_EQ(LastShown(), Utf8(u8"显示顺序“第一”不是有效的整数。"));
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(tree->topLevelItemCount(), 2);

  f->medtSort->setText(QStringLiteral("3"));
  f->edtCateName->setText(QString());
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  EXPECT_EQ(LastShown(), Utf8(u8"类别名称不能为空！"));
  EXPECT_EQ(Rows(), 2);
  f->edtCateName->setText(QStringLiteral("补上名称"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);  // the same category inserts now
  EXPECT_EQ(Rows(), 3);
  EXPECT_EQ(f->medtCateCode->text(), QStringLiteral("000003"));
}

TEST_F(TfrmCategorieTest, EnterMovesOnAndLeavingTheRemarkFocusesSave) {
  OpenWindow();
  f->edtCateName->setFocus(Qt::TabFocusReason);
  QTest::keyClick(f->edtCateName, Qt::Key_Return);
  Settle();
  ASSERT_NE(QApplication::focusWidget(), nullptr);
  EXPECT_TRUE(f->radCateType->isAncestorOf(QApplication::focusWidget()));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
  EXPECT_EQ(QApplication::focusWidget(), f->edtCateInfo);
  QTest::keyClick(f->edtCateInfo, Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), f->edtCateMemo);
  QTest::keyClick(f->edtCateMemo, Qt::Key_Return);  // leaving the remark
  Settle();
  EXPECT_EQ(QApplication::focusWidget(), w->btnSave);
  FocusByMouse(f->edtCateMemo);
  FocusByMouse(f->edtCateName);
  EXPECT_EQ(QApplication::focusWidget(), w->btnSave);
}

TEST_F(TfrmCategorieTest, ShowingAgainRebuildsTheTreeWithoutRepeatingNodes) {
  OpenWindow();
  ClickNode(tree, Node(0));
  w->SubWindow()->hide();
  w->SubWindow()->show();
  Settle();
  EXPECT_EQ(tree->topLevelItemCount(), 2);
  QTest::mouseClick(w->btnDelete, Qt::LeftButton);  // the pressed node went with the old build
  EXPECT_EQ(Rows(), 2);
}

TEST_F(TfrmCategorieTest, PermissionActionsFollowTheUsersRights) {
  host.User.Rights = {{"tjxt201004"}};
  OpenWindow();
  EXPECT_TRUE(w->pmCategorySave->isEnabled());
  for (TPermissionAction* a :
       {w->pmCategoryAdd, w->pmCategoryDelete, w->pmCategoryCancel, w->pmCategoryPrintForm}) {
    EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_TRUE(a->isVisible());
  }
  EXPECT_EQ(w->pmCategoryPrintForm->FunctionCode, "TJXT201006");
  EXPECT_EQ(w->pmCategoryPrintForm->text(), QStringLiteral("打印编码表(&P)"));
  // The buttons work whatever the rights.
  f->edtCateName->setText(QStringLiteral("无权也能保存"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  EXPECT_EQ(Rows(), 3);
}

TEST_F(TfrmCategorieTest, TheCacheOutlivesTheWindow) {
  OpenWindow();
  f->edtCateName->setText(QStringLiteral("后加"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  host.CloseAnswer = TCloseAction::caFree;
  QTest::mouseClick(w->btnExit, Qt::LeftButton);
  Settle();
  EXPECT_TRUE(host.Area()->subWindowList().isEmpty());
  db.Exec(u8"DELETE FROM TJCategories WHERE CateID = 3");  // the cache is not read again
  OpenWindow();
  EXPECT_EQ(TopTexts(tree).last(), QStringLiteral("后加"));
}
