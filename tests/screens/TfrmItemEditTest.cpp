#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "QtText.h"
#include "ScreenTest.h"
#include "TItemManager.h"
#include "TPromptService.h"
#include "TRadioGroup.h"
#include "TfamCateToItemTree.h"
#include "TfamItem.h"
#include "TfrmItemEdit.h"

namespace {

const std::string kDuplicate = Utf8(u8"系统中已存在该项目，不需要再次加入该项目！");

class TfrmItemEditTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    db.Exec(
        u8"INSERT INTO TJCategories (CateID, CateCode, CateName) VALUES "
        u8"(1, '000001', '检验科'), (2, '000002', '一般检查')");
    // Sample type numbers that are not their positions in the list.
    db.Exec(
        u8"INSERT INTO TJSampleType (ID, SampleTypeID, SampleTypeName) VALUES "
        u8"(1, 5, '血液'), (2, 7, '尿液')");
    db.Exec(
        u8"INSERT INTO sfChargeItem (ItemCode, ItemName) VALUES ('01', '化验费'), ('02', "
        u8"'检查费')");
    db.Exec(
        u8"INSERT INTO TJItem (ItemID, ItemCode, ItemName, ItemType, CateId, CateName, "
        u8"DispOrder, SampleTypeID, UnitPrice, Sex, ResultType, UpLimit, LowerLimit, "
        u8"IsInUse, IsHaveExamProcess) VALUES "
        u8"(1, '000001', '血糖', 0, 1, '检验科', 4, 7, 12.5, '不限', 1, '6.1', '3.9', 1, 1), "
        u8"(2, '000002', '肝功能', 1, 1, '检验科', 0, 5, 0, '', 0, '', '', 1, 1), "
        u8"(3, '000003', '身高', 0, 2, '一般检查', 0, 9, 0, 'M', 0, '', '', 1, 0)");
  }
  TfrmItemEdit* OpenWindow() {
    w = Open<TfrmItemEdit>();
    tree = w->famCateToItemTree->chkCateTree;
    f = w->famItem;
    return w;
  }
  QTreeWidgetItem* Category(int i) { return tree->topLevelItem(i); }
  long long Items() { return db.QueryInt(u8"SELECT count(*) FROM TJItem"); }
  std::string Row(const char8_t* columns, int itemID) {
    return db.QueryText(Utf8(u8"SELECT ") + Utf8(columns) +
                        " FROM TJItem WHERE ItemID = " + std::to_string(itemID));
  }
  void Click(QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    Settle();
  }
  QStringList Entries(QComboBox* combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
    return texts;
  }

  TfrmItemEdit* w = nullptr;
  QTreeWidget* tree = nullptr;
  TfamItem* f = nullptr;
};

}  // namespace

TEST_F(TfrmItemEditTest, OpensOnTheTreeTheListsAndANewItemOfTheFirstCategory) {
  OpenWindow();
  EXPECT_EQ(w->windowTitle(), QStringLiteral("项目维护"));
  EXPECT_EQ(TopTexts(tree), (QStringList{QStringLiteral("检验科"), QStringLiteral("一般检查")}));
  EXPECT_EQ(ChildTexts(Category(0)), QStringList{QStringLiteral("血糖")});  // no combination
  EXPECT_EQ(ChildTexts(Category(1)), QStringList{QStringLiteral("身高")});
  EXPECT_EQ(Entries(f->Cbbcate),
            (QStringList{QStringLiteral("检验科"), QStringLiteral("一般检查")}));
  EXPECT_EQ(Entries(f->combSampleType),
            (QStringList{QStringLiteral("血液"), QStringLiteral("尿液")}));
  EXPECT_EQ(Entries(f->combChargeType),
            (QStringList{QStringLiteral("化验费"), QStringLiteral("检查费")}));
  EXPECT_FALSE(f->combChargeType->isVisible());
  EXPECT_FALSE(f->lblChargeType->isVisible());
  EXPECT_FALSE(w->RzButton3->isVisible());

  EXPECT_EQ(f->Cbbcate->currentText(), QStringLiteral("检验科"));
  EXPECT_EQ(f->edtSortID->text(), QStringLiteral("5"));  // after the largest order 4
  EXPECT_EQ(f->edtItemCode->text(), QString());
  EXPECT_EQ(f->edtPrice->text(), QStringLiteral("0"));
  EXPECT_EQ(f->combResultType->currentText(), QStringLiteral("文字描述"));
  EXPECT_EQ(f->combSex->currentIndex(), -1);
  EXPECT_EQ(f->combHightHint->currentIndex(), -1);
  EXPECT_EQ(f->combSampleType->currentIndex(), 0);
  EXPECT_TRUE(f->radIsSecCheck->IsYes());
  EXPECT_TRUE(f->radIsRePorted->IsYes());
  EXPECT_TRUE(f->radIsInUse->IsYes());
  EXPECT_EQ(f->radIsHaveExamProcess->ItemIndex(), 1);  // "否": examined
  EXPECT_EQ(f->radIsInstrument->ItemIndex(), 1);
  QWidget* focused = QApplication::focusWidget();
  EXPECT_TRUE(focused == f->Cbbcate || f->Cbbcate->isAncestorOf(focused));
  EXPECT_EQ(w->Frame()->size(), QSize(760, 462));
}

TEST_F(TfrmItemEditTest, SaveInsertsThenUpdatesAndKeepsTreeAndCatalogueInStep) {
  OpenWindow();
  const int catalogued = TItemManager::Instance().Items().Count();
  TypeInto(f->edtItemName, QStringLiteral("血常规"));
  FocusByMouse(f->edtUnit);  // leaving the name proposes the mnemonic
  EXPECT_EQ(f->edtPY->text(), QStringLiteral("XCG"));
  EXPECT_EQ(f->edtStandItemName->text(), QStringLiteral("血常规"));
  f->edtUnit->setText(QStringLiteral("g/L"));
  f->combSampleType->setCurrentIndex(1);
  f->edtPrice->setText(QStringLiteral("15.5"));
  Click(w->btnSave);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(f->edtItemCode->text(), QStringLiteral("000004"));
  EXPECT_EQ(ChildTexts(Category(0)),
            (QStringList{QStringLiteral("血糖"), QStringLiteral("血常规")}));
  EXPECT_EQ(TItemManager::Instance().Items().Count(), catalogued + 1);
  EXPECT_EQ(Row(u8"ItemName||'|'||CateId||'|'||CateName||'|'||DispOrder||'|'||SampleTypeID||'|'||"
                u8"UnitPrice||'|'||AbForPY||'|'||IsSecCheck||IsInUse||IsRePorted||"
                u8"IsHaveExamProcess||IsInstrument||'|'||ItemType",
                4),
            Utf8(u8"血常规|1|检验科|5|7|15.5|XCG|11110|0"));

  f->edtUnit->setText(QStringLiteral("10^9/L"));
  f->edtItemName->setText(QStringLiteral("血常规五分类"));
  Click(w->btnSave);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(Items(), 4);
  EXPECT_EQ(Row(u8"ItemName||'|'||ItemUnit", 4), Utf8(u8"血常规五分类|10^9/L"));
  EXPECT_EQ(ChildTexts(Category(0)),
            (QStringList{QStringLiteral("血糖"), QStringLiteral("血常规五分类")}));
}

TEST_F(TfrmItemEditTest, ANewItemWithAnExistingNameIsRefusedWithAWarning) {
  OpenWindow();
  TypeInto(f->edtItemName, QStringLiteral("肝功能"));  // a combination item's name
  Click(w->btnSave);
  ASSERT_FALSE(TPromptService::History().empty());
  EXPECT_EQ(TPromptService::History().back().Kind, TPromptKind::Warning);
  EXPECT_EQ(TPromptService::History().back().Text,
            QtText::ToQ("系统中已存在该项目，不需要再次加入该项目！"));
  EXPECT_EQ(Items(), 3);
  EXPECT_EQ(f->edtItemCode->text(), QString());
  EXPECT_EQ(Category(0)->childCount(), 1);

  // A stored item may keep (or take) any name.
  ClickNode(tree, Category(0)->child(0));
  f->edtItemName->setText(QStringLiteral("身高"));
  Click(w->btnSave);
  EXPECT_EQ(TPromptService::History().size(), 1u);
  EXPECT_EQ(Row(u8"ItemName", 1), Utf8(u8"身高"));
}

TEST_F(TfrmItemEditTest, ANumberThatIsNoNumberAbortsTheSaveAndWritesNothing) {
  OpenWindow();
  f->edtItemName->setText(QStringLiteral("尿常规"));
  f->edtPrice->setText(QStringLiteral("十元"));
  Click(w->btnSave);
  EXPECT_EQ(LastShown(), Utf8(u8"单价“十元”不是有效的数字。"));
  f->edtPrice->setText(QStringLiteral("10"));
  f->edtSortID->setText(QStringLiteral("1.5"));
  Click(w->btnSave);
  EXPECT_EQ(LastShown(), Utf8(u8"显示顺序“1.5”不是有效的整数。"));
  EXPECT_EQ(Items(), 3);
  EXPECT_EQ(f->edtItemCode->text(), QString());

  // A stored item refused by its own check keeps its values in the catalogue.
  ClickNode(tree, Category(0)->child(0));
  TBaseItem* glucose = f->Item();
  f->edtItemName->setText(QStringLiteral("血糖（新）"));
  f->edtUpperLimit->setText(QString());
  Click(w->btnSave);
  EXPECT_EQ(LastShown(), Utf8(u8"结果类型为[数值类型]，上限不能为空！"));
  EXPECT_EQ(QtText::ToQ(glucose->ItemName), QStringLiteral("血糖"));
  EXPECT_EQ(QtText::ToQ(glucose->UpLimit), QStringLiteral("6.1"));
  EXPECT_EQ(Row(u8"ItemName||'|'||UpLimit", 1), Utf8(u8"血糖|6.1"));
  EXPECT_EQ(f->edtItemName->text(), QStringLiteral("血糖（新）"));  // the input stays
}

TEST_F(TfrmItemEditTest, ClickingAnItemShowsItAsTheCatalogueHoldsIt) {
  OpenWindow();
  ClickNode(tree, Category(0)->child(0));
  EXPECT_EQ(f->edtItemName->text(), QStringLiteral("血糖"));
  EXPECT_EQ(f->edtItemCode->text(), QStringLiteral("000001"));
  EXPECT_EQ(f->edtSortID->text(), QStringLiteral("4"));
  EXPECT_EQ(f->edtPrice->text(), QStringLiteral("12.5"));
  EXPECT_EQ(f->combSex->currentText(), QStringLiteral("不限"));
  EXPECT_EQ(f->combResultType->currentIndex(), 1);
  EXPECT_TRUE(f->edtValueFormat->isEnabled());
  EXPECT_EQ(f->combSampleType->currentText(), QStringLiteral("尿液"));  // by number, not position
  EXPECT_EQ(f->Cbbcate->currentText(), QStringLiteral("检验科"));

  // A value the lists do not offer shows no entry and is kept by a save.
  ClickNode(tree, Category(1)->child(0));
  EXPECT_EQ(f->combSex->currentIndex(), -1);
  EXPECT_EQ(f->combSampleType->currentIndex(), -1);
  EXPECT_FALSE(f->edtValueFormat->isEnabled());
  EXPECT_EQ(f->radIsHaveExamProcess->ItemIndex(), 0);  // "是": charge only
  Click(w->btnSave);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(Row(u8"Sex||'|'||SampleTypeID||'|'||IsHaveExamProcess", 3), "M|9|0");

  // A click on a category chooses where Add puts the next new item.
  ClickNode(tree, Category(1));
  EXPECT_EQ(f->edtItemName->text(), QStringLiteral("身高"));
  Click(w->btnAdd);
  EXPECT_EQ(f->Cbbcate->currentText(), QStringLiteral("一般检查"));
  EXPECT_EQ(f->edtSortID->text(), QStringLiteral("1"));
  EXPECT_EQ(f->edtItemName->text(), QString());
}

TEST_F(TfrmItemEditTest, ANameWithAQuoteSavesAndShowsBackUnchanged) {
  OpenWindow();
  const QString name = QStringLiteral("O'Brien's 血糖 \"双\"");
  f->edtItemName->setText(name);
  f->edtRightValue->setText(QStringLiteral("阴性'-'"));
  Click(w->btnSave);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(Row(u8"ItemName", 4), Utf8(u8"O'Brien's 血糖 \"双\""));
  Click(w->btnAdd);
  ClickNode(tree, Category(0)->child(1));
  EXPECT_EQ(f->edtItemName->text(), name);
  EXPECT_EQ(f->edtRightValue->text(), QStringLiteral("阴性'-'"));
  f->edtItemName->setText(name);
  Click(w->btnAdd);
  f->edtItemName->setText(name);  // the quote does not escape the duplicate check
  Click(w->btnSave);
  EXPECT_EQ(TPromptService::History().back().Text, QString::fromUtf8(kDuplicate.c_str()));
  EXPECT_EQ(Items(), 4);
}

TEST_F(TfrmItemEditTest, DeleteAsksRemovesTheItemAndOnlyItsOwnNode) {
  // An item named like a category: only the item's node may go.
  db.Exec(
      u8"INSERT INTO TJItem (ItemID, ItemCode, ItemName, ItemType, CateId, CateName) "
      u8"VALUES (4, '000004', '检验科', 0, 2, '一般检查')");
  OpenWindow();
  ClickNode(tree, Category(1)->child(0));
  ASSERT_EQ(f->edtItemName->text(), QStringLiteral("检验科"));
  TBaseItem* deleted = f->Item();

  TPromptService::SetNextAnswer(TPromptAnswer::No);
  Click(w->btnDelete);
  EXPECT_EQ(TPromptService::History().back().Kind, TPromptKind::Confirmation);
  EXPECT_EQ(TPromptService::History().back().Text, QStringLiteral("您确定要删除该项目吗？"));
  EXPECT_EQ(Items(), 4);
  EXPECT_EQ(f->edtItemName->text(), QString());  // declined: the editor starts anew

  ClickNode(tree, Category(1)->child(0));
  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  Click(w->btnDelete);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(Items(), 3);
  EXPECT_EQ(TopTexts(tree), (QStringList{QStringLiteral("检验科"), QStringLiteral("一般检查")}));
  EXPECT_EQ(ChildTexts(Category(0)), QStringList{QStringLiteral("血糖")});
  EXPECT_EQ(ChildTexts(Category(1)), QStringList{QStringLiteral("身高")});
  EXPECT_FALSE(TItemManager::Instance().Items().Contains(deleted));
  EXPECT_EQ(f->edtItemCode->text(), QString());
  EXPECT_EQ(f->Cbbcate->currentText(), QStringLiteral("一般检查"));
}

TEST_F(TfrmItemEditTest, DeletingANewItemAsksNothingAndWritesNothing) {
  db.Exec(
      u8"INSERT INTO TJItem (ItemID, ItemCode, ItemName, ItemType, CateId, CateName) "
      u8"VALUES (4, '000004', '新项目', 0, 1, '检验科')");
  OpenWindow();
  f->edtItemName->setText(QStringLiteral("新项目"));  // same name as a stored item
  Click(w->btnDelete);
  EXPECT_TRUE(TPromptService::History().empty());
  EXPECT_EQ(Items(), 4);
  EXPECT_EQ(ChildTexts(Category(0)),
            (QStringList{QStringLiteral("新项目"), QStringLiteral("血糖")}));
  EXPECT_EQ(f->edtItemName->text(), QString());
}

TEST_F(TfrmItemEditTest, AReferencedItemIsNotDeleted) {
  db.Exec(u8"UPDATE TJItem SET ItemsString = '000001;' WHERE ItemID = 2");
  OpenWindow();
  TItemManager::Instance().LoadItems();  // the composites' members are built
  ClickNode(tree, Category(0)->child(0));
  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  Click(w->btnDelete);
  EXPECT_EQ(LastShown(), Utf8(u8"引用项目不能被删除!"));
  EXPECT_EQ(Items(), 3);
  EXPECT_EQ(Category(0)->childCount(), 1);
  EXPECT_EQ(f->edtItemName->text(), QStringLiteral("血糖"));
}

TEST_F(TfrmItemEditTest, ValueFormatIsCheckedOnLeavingAndStoredTrimmed) {
  OpenWindow();
  f->combResultType->setCurrentIndex(1);
  emit f->combResultType->activated(1);  // as the user's choice
  ASSERT_TRUE(f->edtValueFormat->isEnabled());
  TypeInto(f->edtValueFormat, QStringLiteral("{a}{b}"));
  FocusByMouse(f->edtItemName);
  EXPECT_EQ(LastShown(), Utf8(u8"无效格式，变量之间至少要有一个分割符。"));
  TypeInto(f->edtValueFormat, QStringLiteral("   "));
  FocusByMouse(f->edtItemName);
  EXPECT_EQ(LastShown(), Utf8(u8"无效格式，请使用如：{变量名}的格式。"));
  const size_t shown = app.Shown.size();
  TypeInto(f->edtValueFormat, QStringLiteral(" x{收缩压}/{舒张压}mmHg "));
  FocusByMouse(f->edtItemName);
  EXPECT_EQ(app.Shown.size(), shown);

  f->edtItemName->setText(QStringLiteral("血压"));
  f->edtUpperLimit->setText(QStringLiteral("140"));
  f->edtLowerLimit->setText(QStringLiteral("90"));
  Click(w->btnSave);
  EXPECT_EQ(Row(u8"ValueFormat||'|'||ResultType", 4), Utf8(u8"x{收缩压}/{舒张压}mmHg|1"));

  f->combResultType->setCurrentIndex(0);
  emit f->combResultType->activated(0);
  EXPECT_FALSE(f->edtValueFormat->isEnabled());
}

TEST_F(TfrmItemEditTest, EnterFollowsTheFillingOrderAndABadPriceIsCaughtOnLeaving) {
  OpenWindow();
  f->Cbbcate->setFocus(Qt::TabFocusReason);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), f->edtItemName);
  QTest::keyClick(f->edtItemName, Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), f->edtStandItemName);
  f->combSampleType->setFocus(Qt::TabFocusReason);
  QTest::keyClick(f->combSampleType, Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), f->edtPrice);
  QTest::keyClick(f->edtPrice, Qt::Key_Return);  // the hidden charge type is passed over
  EXPECT_EQ(QApplication::focusWidget(), w->btnSave);

  TypeInto(f->edtPrice, QStringLiteral("abc"));
  FocusByMouse(f->edtUnit);
  ASSERT_FALSE(TPromptService::History().empty());
  EXPECT_EQ(TPromptService::History().back().Kind, TPromptKind::Error);
  EXPECT_EQ(TPromptService::History().back().Text,
            QStringLiteral("对不起，您输入单价信息有误请修改后在进行后面的操作！"));
  EXPECT_EQ(QApplication::focusWidget(), f->edtPrice);
  const size_t prompts = TPromptService::History().size();
  FocusByMouse(w->btnCancel);  // leaving to discard is not held up
  EXPECT_EQ(TPromptService::History().size(), prompts);
}

TEST_F(TfrmItemEditTest, NoCategoriesLeaveTheTreeEmptyAndTheEditorUnset) {
  // Items left without their categories (the schema normally refuses this).
  db.Exec(u8"DROP TRIGGER TR_TJCategories_KeepReferenced; DELETE FROM TJCategories");
  OpenWindow();
  EXPECT_EQ(tree->topLevelItemCount(), 0);
  EXPECT_EQ(f->Item(), nullptr);
  f->edtItemName->setText(QStringLiteral("无处可放"));
  Click(w->btnSave);  // nothing is edited: nothing to save, nothing breaks
  Click(w->btnDelete);
  EXPECT_EQ(Items(), 3);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  ASSERT_NE(f->Item(), nullptr);  // Delete ends, as always, with Add
  EXPECT_EQ(f->Cbbcate->currentText(), QString());
}

TEST_F(TfrmItemEditTest, MaximisingKeepsTheInput) {
  OpenWindow();
  f->edtItemName->setText(QStringLiteral("未保存"));
  host.Clear();
  w->SubWindow()->showMaximized();
  Settle();
  EXPECT_EQ(f->edtItemName->text(), QStringLiteral("未保存"));
  EXPECT_EQ(host.Names(w), std::vector<std::string>{});
}
