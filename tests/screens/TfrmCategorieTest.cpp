#include <QComboBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "Exceptions.h"
#include "GbkText.h"
#include "HandlerConnect.h"
#include "QtText.h"
#include "ScreenTest.h"
#include "TCategory.h"
#include "TCategoryManager.h"
#include "TDateTime.h"
#include "TPermissionAction.h"
#include "TPromptService.h"
#include "TRadioGroup.h"
#include "TfamCateToItemTree.h"
#include "TfamCateTree.h"
#include "TfamCategory.h"
#include "TfamItem.h"
#include "TfrmCategorie.h"
#include "TfrmItemEdit.h"

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

// Items carry their category's name: a rename reaches them (rows and the
// catalogue), so the item window still files them under the category.
TEST_F(TfrmCategorieTest, RenamingACategoryChangesItsNodeInPlaceAndRenamesItInItsItems) {
  db.Exec(
      u8"INSERT INTO TJItem (ItemID, ItemCode, ItemName, ItemType, CateId, CateName) VALUES "
      u8"(1, '000001', '血糖', 0, 2, '检验科'), (2, '000002', '身高', 0, 1, '一般检查')");
  auto* items = Open<TfrmItemEdit>();  // the catalogue is loaded before the rename
  OpenWindow();
  ClickNode(tree, Node(1));
  EXPECT_EQ(f->edtCateName->text(), QStringLiteral("检验科"));
  EXPECT_EQ(f->edtCateMemo->text(), QStringLiteral("空腹"));
  EXPECT_EQ(f->radCateType->ItemIndex(), 1);
  EXPECT_EQ(f->medtCateCode->text(), QStringLiteral("000002"));
  f->edtCateName->setText(QStringLiteral("检验科室"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(TopTexts(tree), (QStringList{QStringLiteral("一般检查"), QStringLiteral("检验科室")}));
  EXPECT_EQ(db.QueryText(u8"SELECT CateName FROM TJCategories WHERE CateID = 2"),
            Utf8(u8"检验科室"));
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(db.QueryText(u8"SELECT group_concat(CateName, '|') FROM TJItem ORDER BY ItemID"),
            Utf8(u8"检验科室|一般检查"));

  // The item as the item window shows it and saves it unchanged.
  items->SubWindow()->hide();
  items->SubWindow()->show();  // shown again: the tree is built anew
  Settle();
  QTreeWidget* itemTree = items->famCateToItemTree->chkCateTree;
  ASSERT_EQ(itemTree->topLevelItem(1)->text(0), QStringLiteral("检验科室"));
  ClickNode(itemTree, itemTree->topLevelItem(1)->child(0));
  EXPECT_EQ(items->famItem->Cbbcate->currentText(), QStringLiteral("检验科室"));
  QTest::mouseClick(items->btnSave, Qt::LeftButton);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(db.QueryText(u8"SELECT CateId || '|' || CateName FROM TJItem WHERE ItemID = 1"),
            Utf8(u8"2|检验科室"));
}

// Two categories of one name would send items to the first of them.
TEST_F(TfrmCategorieTest, ANameAnotherCategoryHasIsRefusedForNewAndRenamedCategories) {
  OpenWindow();
  f->edtCateName->setText(QStringLiteral("检验科"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  ASSERT_FALSE(TPromptService::History().empty());
  EXPECT_EQ(TPromptService::History().back().Kind, TPromptKind::Warning);
  EXPECT_EQ(TPromptService::History().back().Text,
            QStringLiteral("系统中已存在名为“检验科”的类别，类别名称不能重复！"));
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(tree->topLevelItemCount(), 2);

  ClickNode(tree, Node(0));
  f->edtCateName->setText(QStringLiteral("检验科"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  EXPECT_EQ(TPromptService::History().size(), 2u);
  EXPECT_EQ(db.QueryText(u8"SELECT CateName FROM TJCategories WHERE CateID = 1"),
            Utf8(u8"一般检查"));
  EXPECT_EQ(Node(0)->text(0), QStringLiteral("一般检查"));

  // Its own name is no other category's.
  f->edtCateName->setText(QStringLiteral("一般检查"));
  f->edtCateInfo->setText(QStringLiteral("身高体重"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  EXPECT_EQ(TPromptService::History().size(), 2u);
  EXPECT_EQ(db.QueryText(u8"SELECT CateInfo FROM TJCategories WHERE CateID = 1"),
            Utf8(u8"身高体重"));
}

// Only a left-button click on a node reads a category into the editor: a
// release on empty space or a right-button press would replace what was
// typed with the last pressed one.
TEST_F(TfrmCategorieTest, ClickOnEmptySpaceOrARightPressLeavesTheEditorAsItIs) {
  OpenWindow();
  ClickEmptySpace(tree);  // nothing pressed yet: nothing happens
  EXPECT_EQ(f->edtCateName->text(), QString());
  ClickNode(tree, Node(0));
  f->edtCateName->setText(QStringLiteral("未保存的输入"));
  db.Exec(u8"UPDATE TJCategories SET CateInfo = '别处改过' WHERE CateID = 1");
  ClickEmptySpace(tree);
  EXPECT_EQ(f->edtCateName->text(), QStringLiteral("未保存的输入"));
  const QPoint onOther = tree->visualItemRect(Node(1)).center();
  QTest::mousePress(tree->viewport(), Qt::RightButton, {}, onOther);
  QTest::mouseRelease(tree->viewport(), Qt::RightButton, {}, onOther);
  ClickEmptySpace(tree);
  EXPECT_EQ(f->edtCateName->text(), QStringLiteral("未保存的输入"));
  ClickNode(tree, Node(0));  // a click on the node reads it again
  EXPECT_EQ(f->edtCateName->text(), QStringLiteral("一般检查"));
  EXPECT_EQ(f->edtCateInfo->text(), QStringLiteral("别处改过"));
}

TEST_F(TfrmCategorieTest, RefusedDeleteLeavesTreeCacheRowAndEditorAsTheyWere) {
  db.Exec(
      u8"CREATE TRIGGER keep BEFORE DELETE ON TJCategories BEGIN "
      u8"SELECT RAISE(ABORT, 'referenced'); END");
  OpenWindow();
  ClickNode(tree, Node(0));
  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  QTest::mouseClick(w->btnDelete, Qt::LeftButton);
  EXPECT_EQ(TPromptService::History().back().Kind, TPromptKind::Warning);
  EXPECT_EQ(TPromptService::History().back().Text,
            QStringLiteral("类别[一般检查]已被引用，不能删除！"));
  EXPECT_EQ(tree->topLevelItemCount(), 2);
  EXPECT_EQ(TCategoryManager::Instance().Categories().Count(), 2);
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(f->edtCateName->text(), QStringLiteral("一般检查"));
  EXPECT_NE(f->Category(), nullptr);
}

// The category pressed in the tree and the one the editor shows differ
// after Add and Save: Delete removes the one on screen, after asking.
TEST_F(TfrmCategorieTest, DeleteAsksNamingTheCategoryOnScreenAndRemovesOnlyThatOne) {
  OpenWindow();
  QTest::mouseClick(w->btnDelete, Qt::LeftButton);  // a new category: nothing to delete
  EXPECT_TRUE(TPromptService::History().empty());
  ClickNode(tree, Node(0));
  QTest::mouseClick(w->btnADD, Qt::LeftButton);
  f->edtCateName->setText(QStringLiteral("临时类别"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  ASSERT_EQ(Rows(), 3);

  TPromptService::SetNextAnswer(TPromptAnswer::No);
  QTest::mouseClick(w->btnDelete, Qt::LeftButton);
  ASSERT_EQ(TPromptService::History().size(), 1u);
  EXPECT_EQ(TPromptService::History().back().Kind, TPromptKind::Confirmation);
  EXPECT_EQ(TPromptService::History().back().Text,
            QStringLiteral("您确定要删除类别“临时类别”吗？\n000003　临时类别"));
  EXPECT_EQ(Rows(), 3);
  EXPECT_EQ(f->edtCateName->text(), QStringLiteral("临时类别"));

  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  QTest::mouseClick(w->btnDelete, Qt::LeftButton);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(TopTexts(tree), (QStringList{QStringLiteral("一般检查"), QStringLiteral("检验科")}));
  EXPECT_EQ(db.QueryInt(u8"SELECT count(*) FROM TJCategories WHERE CateName = '临时类别'"), 0);
  EXPECT_EQ(TCategoryManager::Instance().Categories().Count(), 2);
  EXPECT_EQ(f->Category(), nullptr);
  EXPECT_EQ(f->edtCateName->text(), QString());
  EXPECT_EQ(f->medtSort->text(), QStringLiteral("0"));

  // The pressed category itself: once deleted, the tree no longer names it.
  ClickNode(tree, Node(0));
  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  QTest::mouseClick(w->btnDelete, Qt::LeftButton);
  EXPECT_EQ(TopTexts(tree), (QStringList{QStringLiteral("检验科")}));
  EXPECT_EQ(w->famCateTree->CurrentCategory(), nullptr);
  // No neighbour is highlighted beside the empty editor.
  EXPECT_TRUE(tree->selectedItems().isEmpty());
  ClickEmptySpace(tree);  // shows nothing: the pressed category is gone
  EXPECT_EQ(f->Category(), nullptr);
  EXPECT_EQ(Rows(), 1);
}

// Save with no category in the editor says why nothing is saved; the
// typed text is not stored as a category nobody started.
TEST_F(TfrmCategorieTest, CancelDiscardsTheNewCategoryAndSaveThenTellsTheUser) {
  OpenWindow();
  f->edtCateName->setText(QStringLiteral("草稿"));
  QTest::mouseClick(w->btnCancel, Qt::LeftButton);
  EXPECT_EQ(f->Category(), nullptr);
  EXPECT_EQ(f->edtCateName->text(), QString());
  f->edtCateName->setText(QStringLiteral("草稿"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  ASSERT_EQ(TPromptService::History().size(), 1u);
  EXPECT_EQ(TPromptService::History().back().Kind, TPromptKind::Information);
  EXPECT_EQ(TPromptService::History().back().Text,
            QStringLiteral("没有正在编辑的类别：请先按“增加”新建类别，或在左边选择一个类别。"));
  EXPECT_EQ(Rows(), 2);
  QTest::mouseClick(w->btnADD, Qt::LeftButton);
  ASSERT_NE(f->Category(), nullptr);
  f->edtCateName->setText(QStringLiteral("新类别"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  EXPECT_EQ(Rows(), 3);
  QTest::mouseClick(w->btnPrintForm, Qt::LeftButton);  // the preview, closed unanswered
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(TPromptService::History().back().Caption, QStringLiteral("打印预览 - 类别维护"));
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

// A column holds so many GBK bytes: typing stops there, and text that comes
// in another way (pasted by code, a long operator name) is refused on save.
TEST_F(TfrmCategorieTest, TextLongerThanItsColumnIsNeitherTypedNorStored) {
  OpenWindow();
  f->edtCateName->clear();
  QTest::keyClicks(f->edtCateName, QString(105, QLatin1Char('x')));
  EXPECT_EQ(f->edtCateName->text().size(), 100);

  ClickNode(tree, Node(0));
  TCategory* shown = f->Category();
  f->edtCateName->setText(QString(51, QChar(0x8840)));  // 51 × "血": 102 bytes
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  EXPECT_EQ(LastShown(),
            Utf8(u8"“类别名称”太长：最多 100 个字节（一个汉字占两个字节），现在是 102 个字节。"));
  EXPECT_EQ(db.QueryText(u8"SELECT CateName FROM TJCategories WHERE CateID = 1"),
            Utf8(u8"一般检查"));
  EXPECT_EQ(QtText::ToQ(shown->CateName), QStringLiteral("一般检查"));  // the cache keeps it
  EXPECT_EQ(Node(0)->text(0), QStringLiteral("一般检查"));

  host.User.Operator.OperatorName = std::string(60, 'o');  // wider than ModifiedBy
  ClickNode(tree, Node(0));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  EXPECT_EQ(LastShown(),
            Utf8(u8"“修改人”太长：最多 50 个字节（一个汉字占两个字节），现在是 60 个字节。"));
  EXPECT_EQ(db.QueryText(u8"SELECT ifnull(ModifiedBy, '') FROM TJCategories WHERE CateID = 1"), "");
}

// Tab and Enter reach a radio group on its chosen button and leave it for
// the next field; leaving the remark puts the focus on Save.
TEST_F(TfrmCategorieTest, TabAndEnterFollowTheFieldOrderThroughTheRadioGroups) {
  OpenWindow();
  f->radCateType->SetItemIndex(2);
  f->edtCateName->setFocus(Qt::TabFocusReason);
  QTest::keyClick(f->edtCateName, Qt::Key_Return);
  Settle();
  EXPECT_EQ(QApplication::focusWidget(), f->radCateType->Button(2));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
  EXPECT_EQ(QApplication::focusWidget(), f->edtCateInfo);
  QTest::keyClick(f->edtCateInfo, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), f->edtCateMemo);
  QTest::keyClick(f->edtCateMemo, Qt::Key_Return);  // leaving the remark
  Settle();
  EXPECT_EQ(QApplication::focusWidget(), w->btnSave);
  FocusByMouse(f->edtCateMemo);
  FocusByMouse(f->edtCateName);
  EXPECT_EQ(QApplication::focusWidget(), w->btnSave);

  // Backwards from the code field: the report question, on its choice "否".
  f->medtCateCode->setFocus(Qt::TabFocusReason);
  QTest::keyClick(f->medtCateCode, Qt::Key_Backtab);
  EXPECT_EQ(QApplication::focusWidget(), f->radIsShowLimit->Button(1));
  f->medtSort->setFocus(Qt::TabFocusReason);
  QTest::keyClick(f->medtSort, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), f->edtCateName);
  QTest::keyClick(f->edtCateName, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), f->radCateType->Button(2));
}

TEST_F(TfrmCategorieTest, ShowingAgainRebuildsTheTreeWithoutRepeatingNodes) {
  OpenWindow();
  ClickNode(tree, Node(0));
  w->SubWindow()->hide();
  w->SubWindow()->show();
  Settle();
  EXPECT_EQ(tree->topLevelItemCount(), 2);
  EXPECT_EQ(w->famCateTree->CurrentCategory(), nullptr);  // it went with the old build
}

// Each guarded button follows its action; the handler refuses on its own,
// so nothing goes around a disabled button.
TEST_F(TfrmCategorieTest, RightsDecideWhichButtonsWork) {
  auto buttons = [this] {
    return std::vector<QPushButton*>{w->btnADD, w->btnSave, w->btnPrintForm, w->btnDelete,
                                     w->btnCancel};
  };
  // Only the add right: Add works, Save, Delete, Print and Cancel do not.
  host.User = {};
  host.User.UserName = "clerk";
  host.User.Rights = {{"TJXT201001"}};
  OpenWindow();
  EXPECT_TRUE(w->pmCategoryAdd->isEnabled());
  for (TPermissionAction* a :
       {w->pmCategorySave, w->pmCategoryDelete, w->pmCategoryCancel, w->pmCategoryPrintForm})
    EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
  EXPECT_EQ(w->pmCategoryPrintForm->FunctionCode, "TJXT201006");
  EXPECT_EQ(w->pmCategoryPrintForm->text(), QStringLiteral("打印编码表(&P)"));
  for (QPushButton* b : buttons()) {
    EXPECT_EQ(b->isEnabled(), b == w->btnADD) << b->objectName().toStdString();
    EXPECT_TRUE(b->isVisible());
  }
  EXPECT_TRUE(w->btnExit->isEnabled());
  ClickNode(tree, Node(0));
  QTest::mouseClick(w->btnADD, Qt::LeftButton);
  EXPECT_FALSE(f->Category()->CateID.has_value());
  f->edtCateName->setText(QStringLiteral("无权保存"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);  // disabled: nothing happens
  QTest::keyClick(w, Qt::Key_S, Qt::AltModifier);
  EXPECT_EQ(Rows(), 2);
  RunHandler([this] { w->RunCommand(w->btnSave); });  // the command checks the right itself
  EXPECT_EQ(LastShown(), Utf8(u8"您没有“保存”的权限（功能号 TJXT201004），请与管理员联系！"));
  EXPECT_EQ(Rows(), 2);
  QTest::mouseClick(w->btnExit, Qt::LeftButton);
  Settle();

  // No rights: the categories can be looked at, nothing else.
  host.User.Rights.clear();
  OpenWindow();
  for (QPushButton* b : buttons()) EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
  ClickNode(tree, Node(1));
  EXPECT_EQ(f->edtCateName->text(), QStringLiteral("检验科"));
  RunHandler([this] { w->RunCommand(w->btnDelete); });
  EXPECT_EQ(LastShown(), Utf8(u8"您没有“删除”的权限（功能号 TJXT201002），请与管理员联系！"));
  RunHandler([this] { w->RunCommand(w->btnADD); });
  EXPECT_EQ(LastShown(), Utf8(u8"您没有“增加”的权限（功能号 TJXT201001），请与管理员联系！"));
  EXPECT_TRUE(TPromptService::History().empty());  // the delete question never came
  EXPECT_EQ(Rows(), 2);
  QTest::mouseClick(w->btnExit, Qt::LeftButton);
  Settle();

  // The save right alone updates, but storing a new category adds one.
  host.User.Rights = {{"TJXT201004"}};
  OpenWindow();
  f->edtCateName->setText(QStringLiteral("新类别"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  EXPECT_EQ(LastShown(), Utf8(u8"您没有“增加”的权限（功能号 TJXT201001），请与管理员联系！"));
  EXPECT_EQ(Rows(), 2);
  ClickNode(tree, Node(1));
  f->edtCateInfo->setText(QStringLiteral("只改不增"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  EXPECT_EQ(db.QueryText(u8"SELECT CateInfo FROM TJCategories WHERE CateID = 2"),
            Utf8(u8"只改不增"));
  QTest::mouseClick(w->btnExit, Qt::LeftButton);
  Settle();

  // The super user, whatever the list says.
  host.User.UserName = "CHIEF";
  OpenWindow();
  for (QPushButton* b : buttons()) EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
  f->edtCateName->setText(QStringLiteral("主任加的"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  QTest::mouseClick(w->btnDelete, Qt::LeftButton);
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(TPromptService::History().size(), 1u);
}

// Without its table the window cannot work: it does not stay open
// half-built, and the message says what failed and why.
TEST_F(TfrmCategorieTest, AWindowWhoseCategoriesCannotBeReadDoesNotStayOpen) {
  db.Exec(u8"DROP TABLE TJCategories");
  try {
    OpenWindow();
    ADD_FAILURE() << "the window must not open";
  } catch (const Exception& e) {
    EXPECT_EQ(
        GbkText::ToUtf8(e.Message()),
        Utf8(u8"读取类别数据失败，类别维护窗口不能使用。\r\n原因：no such table: TJCategories"));
  }
  Settle();
  EXPECT_TRUE(host.Area()->subWindowList().isEmpty());
  EXPECT_EQ(host.Names(), (std::vector<std::string>{"create", "show", "destroy", "destroy"}));
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
