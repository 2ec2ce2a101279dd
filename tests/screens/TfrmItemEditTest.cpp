#include <QComboBox>
#include <QLabel>
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
#include "TCatalogueFollower.h"
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
  EXPECT_TRUE(w->RzButton3->isVisible());  // the print button

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

  // A stored item keeps its own name, but takes no other entry's.
  ClickNode(tree, Category(0)->child(0));
  f->edtItemName->setText(QStringLiteral("身高"));
  Click(w->btnSave);
  ASSERT_EQ(TPromptService::History().size(), 2u);
  EXPECT_EQ(TPromptService::History().back().Kind, TPromptKind::Warning);
  EXPECT_EQ(TPromptService::History().back().Text,
            QStringLiteral("系统中已存在名为“身高”的项目，项目名称不能重复！"));
  EXPECT_EQ(Row(u8"ItemName", 1), Utf8(u8"血糖"));
  EXPECT_EQ(ChildTexts(Category(0)), QStringList{QStringLiteral("血糖")});
  f->edtItemName->setText(QStringLiteral("血糖"));
  f->edtUnit->setText(QStringLiteral("mmol/L"));
  Click(w->btnSave);
  EXPECT_EQ(TPromptService::History().size(), 2u);
  EXPECT_EQ(Row(u8"ItemName||'|'||ItemUnit", 1), Utf8(u8"血糖|mmol/L"));
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

// Prices and orders typed as a clerk types them, Chinese input method on:
// full-width forms read as ASCII; exponents, infinities and amounts past
// the price column are refused with messages that name the field.
TEST_F(TfrmItemEditTest, TypedNumbersAreReadAsTheirAsciiFormsWithinThePriceColumn) {
  struct Case {
    QString price, order;
    const char* stored;  // UnitPrice|DispOrder, or null when refused
    const char8_t* message;
  };
  const Case cases[] = {
      {QStringLiteral("１２．５"), QStringLiteral("１２"), "12.5|12", u8""},
      {QStringLiteral("１，０００"), QStringLiteral("３"), "1000.0|3", u8""},
      {QStringLiteral("\u3000８。０５"), QStringLiteral("+7"), "8.05|7", u8""},
      {QStringLiteral("9999999999.99"), QStringLiteral("1"), "9999999999.99|1", u8""},
      {QStringLiteral("1e3"), QStringLiteral("1"), nullptr, u8"单价“1e3”不是有效的数字。"},
      {QStringLiteral("ｉｎｆ"), QStringLiteral("1"), nullptr, u8"单价“ｉｎｆ”不是有效的数字。"},
      {QStringLiteral("NaN"), QStringLiteral("1"), nullptr, u8"单价“NaN”不是有效的数字。"},
      {QStringLiteral("1,00"), QStringLiteral("1"), nullptr, u8"单价“1,00”不是有效的数字。"},
      {QStringLiteral("12345678901234567890"), QStringLiteral("1"), nullptr,
       u8"单价超出范围：最大为9999999999.99。"},
      {QStringLiteral("9999999999.995"), QStringLiteral("1"), nullptr,
       u8"单价超出范围：最大为9999999999.99。"},
      {QString(), QStringLiteral("1"), nullptr, u8"单价不能为空，请输入数字。"},
      {QStringLiteral("1"), QStringLiteral("2147483648"), nullptr,
       u8"显示顺序超出范围：最大为2147483647。"},
      {QStringLiteral("1"), QStringLiteral("　"), nullptr, u8"显示顺序不能为空，请输入整数。"},
  };
  OpenWindow();
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.price.toStdString() + " / " + c.order.toStdString());
    const QString name = QStringLiteral("新项目%1").arg(++n);
    Click(w->btnAdd);
    TypeInto(f->edtItemName, name);
    TypeInto(f->edtSortID, c.order);
    TypeInto(f->edtPrice, c.price);
    app.Shown.clear();
    Click(w->btnSave);
    const std::string stored =
        db.QueryText("SELECT UnitPrice || '|' || DispOrder FROM TJItem WHERE ItemName = '" +
                     name.toStdString() + "'");
    if (c.stored) {
      EXPECT_EQ(LastShown(), "");
      EXPECT_EQ(stored, c.stored);
    } else {
      EXPECT_EQ(LastShown(), Utf8(c.message));
      EXPECT_EQ(stored, "");
    }
  }
}

// What a server would refuse or an item in no category is not stored: a
// category name that names none, a negative price, text wider than its
// column (however it got into the field).
TEST_F(TfrmItemEditTest, SaveRefusesAnUnknownCategoryANegativePriceAndTooLongText) {
  OpenWindow();
  f->edtItemName->setText(QStringLiteral("尿常规"));
  TypeInto(f->Cbbcate, QStringLiteral("检验"));
  Click(w->btnSave);
  EXPECT_EQ(LastShown(), Utf8(u8"没有名为“检验”的体检类别，请从列表中选择体检类别。"));
  EXPECT_EQ(Items(), 3);
  EXPECT_EQ(f->edtItemCode->text(), QString());

  f->Cbbcate->setCurrentIndex(0);
  TypeInto(f->edtPrice, QStringLiteral("-5"));
  FocusByMouse(f->edtUnit);  // caught on leaving the price already
  ASSERT_FALSE(TPromptService::History().empty());
  EXPECT_EQ(TPromptService::History().back().Text,
            QStringLiteral("对不起，您输入单价信息有误请修改后在进行后面的操作！"));
  Click(w->btnSave);
  EXPECT_EQ(LastShown(), Utf8(u8"单价不能为负数！"));
  EXPECT_EQ(Items(), 3);

  f->edtPrice->setText(QStringLiteral("5"));
  f->edtItemName->clear();
  QTest::keyClicks(f->edtItemName, QString(130, QLatin1Char('n')));
  EXPECT_EQ(f->edtItemName->text().size(), 100);        // typing stops at the column's width
  f->edtItemName->setText(QString(65, QChar(0x5C3F)));  // 65 × "尿": 130 bytes
  Click(w->btnSave);
  EXPECT_EQ(LastShown(),
            Utf8(u8"“项目名称”太长：最多 100 个字节（一个汉字占两个字节），现在是 130 个字节。"));
  EXPECT_EQ(Items(), 3);

  f->edtItemName->setText(QStringLiteral("尿常规"));
  Click(w->btnSave);
  EXPECT_EQ(Row(u8"ItemName||'|'||CateId||'|'||CateName||'|'||UnitPrice", 4),
            Utf8(u8"尿常规|1|检验科|5.0"));

  // A stored item is held to the same rules, and keeps its values.
  ClickNode(tree, Category(0)->child(0));
  TypeInto(f->Cbbcate, QStringLiteral("不存在的类别"));
  Click(w->btnSave);
  EXPECT_EQ(LastShown(), Utf8(u8"没有名为“不存在的类别”的体检类别，请从列表中选择体检类别。"));
  EXPECT_EQ(Row(u8"CateId||'|'||CateName", 1), Utf8(u8"1|检验科"));
  EXPECT_EQ(QtText::ToQ(f->Item()->CateName), QStringLiteral("检验科"));
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
  // The question names the item on a line of its own: code and name.
  EXPECT_EQ(TPromptService::History().back().Text,
            QStringLiteral("您确定要删除该项目吗？\n000004　检验科"));
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
  // The pressed node went with the item: the frame no longer names it.
  EXPECT_EQ(w->famCateToItemTree->ClickedNode(), nullptr);
  EXPECT_EQ(w->famCateToItemTree->GetSelectedItem(), nullptr);
}

// After a delete the selection rests on the deleted item's category, never
// on a neighbour the editor does not show: the new entry the editor starts
// is proposed in that category, also when the last item of a category went
// (the next node in the tree belongs to another one).
TEST_F(TfrmItemEditTest, AfterADeleteTheNewEntryKeepsTheDeletedItemsCategory) {
  db.Exec(
      u8"INSERT INTO TJItem (ItemID, ItemCode, ItemName, ItemType, CateId, CateName) "
      u8"VALUES (4, '000004', '尿酸', 0, 1, '检验科')");
  OpenWindow();
  ASSERT_EQ(ChildTexts(Category(0)), (QStringList{QStringLiteral("尿酸"), QStringLiteral("血糖")}));
  for (QTreeWidgetItem* node : {Category(0)->child(0), Category(1)->child(0)}) {
    QTreeWidgetItem* category = node->parent();
    const int siblings = category->childCount() - 1;
    ClickNode(tree, node);
    TPromptService::SetNextAnswer(TPromptAnswer::Yes);
    Click(w->btnDelete);
    EXPECT_TRUE(app.Shown.empty()) << LastShown();
    EXPECT_EQ(category->childCount(), siblings);
    EXPECT_EQ(tree->currentItem(), category);
    EXPECT_EQ(f->edtItemCode->text(), QString());
    EXPECT_EQ(f->Cbbcate->currentText(), category->text(0));
  }
  EXPECT_EQ(Items(), 2);  // 血糖 and the combination item
}

// Another desk's writes rebuild the tree when the window catches up; the
// tree then shows again where the editor is. A save of the item the other
// desk deleted says so, brings back nothing, and the new entry the editor
// starts stays in the item's category (a tree without a selection gave it
// none).
TEST_F(TfrmItemEditTest, AfterCatchingUpTheTreeShowsTheEditorsPlace) {
  OpenWindow();
  ClickNode(tree, Category(1)->child(0));
  ASSERT_EQ(f->edtItemName->text(), QStringLiteral("身高"));
  db.Exec(u8"UPDATE TJItem SET UnitPrice = 3 WHERE ItemID = 1");  // another desk
  db.Exec(u8"UPDATE TJCatalogueVersion SET Version = Version + 1");
  ASSERT_TRUE(TCatalogueFollower::CatchUpWithOtherDesks());
  Settle();
  ASSERT_NE(tree->currentItem(), nullptr);
  EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("身高"));

  db.Exec(u8"DELETE FROM TJItem WHERE ItemID = 3");
  db.Exec(u8"UPDATE TJCatalogueVersion SET Version = Version + 1");
  ASSERT_TRUE(TCatalogueFollower::CatchUpWithOtherDesks());
  Settle();
  // Kept while the editor shows it: the save finds out.
  EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("身高"));
  f->edtPrice->setText(QStringLiteral("9"));
  Click(w->btnSave);
  ASSERT_FALSE(TPromptService::History().empty());
  EXPECT_EQ(TPromptService::History().back().Text,
            QStringLiteral("“身高”已被其他用户删除，这次的修改没有保存。"));
  EXPECT_EQ(Items(), 2);
  EXPECT_EQ(f->edtItemCode->text(), QString());
  EXPECT_EQ(f->Cbbcate->currentText(), QStringLiteral("一般检查"));
  EXPECT_EQ(tree->currentItem(), Category(1));
  EXPECT_EQ(Category(1)->childCount(), 0);
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
  EXPECT_EQ(TPromptService::History().back().Kind, TPromptKind::Warning);
  EXPECT_EQ(TPromptService::History().back().Text,
            QStringLiteral("引用项目不能被删除!\r\n被组合项目“肝功能”使用"));
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

// Tab follows the field order 0 to 26: after the price the radio groups, each
// on its chosen button, then the category and the rest.
TEST_F(TfrmItemEditTest, TabFollowsTheFieldOrderThroughTheRadioGroups) {
  OpenWindow();
  ClickNode(tree, Category(1)->child(0));  // 身高: charge only ("是")
  f->radIsInUse->SetYes(false);            // chosen by the user: "否"
  f->edtPrice->setFocus(Qt::TabFocusReason);
  const std::vector<QWidget*> expected = {f->radIsSecCheck->Button(1),
                                          f->radIsRePorted->Button(1),
                                          f->radIsHaveExamProcess->Button(0),
                                          f->radIsInUse->Button(1),
                                          f->Cbbcate,
                                          f->radIsInstrument->Button(1)};
  for (QWidget* next : expected) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* focused = QApplication::focusWidget();
    EXPECT_TRUE(focused == next || next->isAncestorOf(focused))
        << next->objectName().toStdString() << " expected, " << focused->metaObject()->className()
        << " " << focused->objectName().toStdString() << " has the focus";
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  QWidget* focused = QApplication::focusWidget();
  EXPECT_TRUE(focused == f->Cbbcate || f->Cbbcate->isAncestorOf(focused));
  f->edtSortID->setFocus(Qt::TabFocusReason);
  QTest::keyClick(f->edtSortID, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), f->combSex);
}

TEST_F(TfrmItemEditTest, RightsDecideWhichButtonsWork) {
  auto buttons = [this] {
    return std::vector<QPushButton*>{w->btnAdd, w->btnSave, w->btnDelete, w->btnCancel};
  };
  // Only the add right: Add works; Save, Delete, Cancel and Print do not.
  host.User = {};
  host.User.UserName = "clerk";
  host.User.Rights = {{"TJXT202001"}};
  OpenWindow();
  for (QPushButton* b : buttons())
    EXPECT_EQ(b->isEnabled(), b == w->btnAdd) << b->objectName().toStdString();
  EXPECT_TRUE(w->RzButton3->isVisible());  // shown like the others, but not usable
  EXPECT_FALSE(w->RzButton3->isEnabled());
  EXPECT_TRUE(w->btnClose->isEnabled());
  ClickNode(tree, Category(1));
  Click(w->btnAdd);
  EXPECT_EQ(f->Cbbcate->currentText(), QStringLiteral("一般检查"));
  f->edtItemName->setText(QStringLiteral("无权保存"));
  Click(w->btnSave);
  EXPECT_EQ(Items(), 3);
  RunHandler([this] { w->RunCommand(w->btnSave); });
  EXPECT_EQ(LastShown(), Utf8(u8"您没有“保存”的权限（功能号 TJXT202004），请与管理员联系！"));
  RunHandler([this] { w->RunCommand(w->btnCancel); });  // Cancel runs Add with its own right
  EXPECT_EQ(LastShown(), Utf8(u8"您没有“取消”的权限（功能号 TJXT202005），请与管理员联系！"));
  EXPECT_EQ(f->edtItemName->text(), QStringLiteral("无权保存"));
  EXPECT_EQ(Items(), 3);
  Click(w->btnClose);

  // No rights: items can be looked at, nothing else.
  host.User.Rights.clear();
  OpenWindow();
  for (QPushButton* b : buttons()) EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
  ClickNode(tree, Category(0)->child(0));
  EXPECT_EQ(f->edtItemName->text(), QStringLiteral("血糖"));
  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  RunHandler([this] { w->RunCommand(w->btnDelete); });
  EXPECT_EQ(LastShown(), Utf8(u8"您没有“删除”的权限（功能号 TJXT202002），请与管理员联系！"));
  EXPECT_TRUE(TPromptService::History().empty());
  EXPECT_EQ(Items(), 3);
  Click(w->btnClose);

  // Save and delete without add: stored items change, no new one is stored,
  // and Delete still ends on a new item.
  host.User.Rights = {{"TJXT202004"}, {"TJXT202002"}};
  OpenWindow();
  f->edtItemName->setText(QStringLiteral("新项目"));
  Click(w->btnSave);
  EXPECT_EQ(LastShown(), Utf8(u8"您没有“增加”的权限（功能号 TJXT202001），请与管理员联系！"));
  EXPECT_EQ(Items(), 3);
  ClickNode(tree, Category(1)->child(0));
  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  Click(w->btnDelete);
  EXPECT_EQ(Items(), 2);
  EXPECT_EQ(f->edtItemCode->text(), QString());
  Click(w->btnClose);

  // The super user.
  host.User.UserName = "Chief";
  host.User.Rights.clear();
  OpenWindow();
  for (QPushButton* b : buttons()) EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
  f->edtItemName->setText(QStringLiteral("主任加的"));
  Click(w->btnSave);
  EXPECT_EQ(Items(), 3);
}

// The window cannot work without its lists and its tree: it does not open
// (at creation) or it closes (at a later show), saying what failed and why.
TEST_F(TfrmItemEditTest, AWindowWhoseDataCannotBeReadDoesNotStayOpen) {
  db.Exec(u8"ALTER TABLE sfChargeItem RENAME TO sfChargeItemGone");
  try {
    OpenWindow();
    ADD_FAILURE() << "the window must not open";
  } catch (const Exception& e) {
    EXPECT_EQ(GbkText::ToUtf8(e.Message()),
              Utf8(u8"读取体检类别、采样类型和收费项目失败，项目维护窗口不能使用。\r\n"
                   u8"原因：no such table: sfChargeItem"));
  }
  Settle();
  EXPECT_TRUE(host.Area()->subWindowList().isEmpty());
  EXPECT_EQ(host.Names(), (std::vector<std::string>{"create", "destroy"}));

  db.Exec(u8"ALTER TABLE sfChargeItemGone RENAME TO sfChargeItem");
  host.Clear();
  OpenWindow();
  db.Exec(u8"DROP TRIGGER TR_TJCategories_KeepReferenced; DROP TABLE TJCategories");
  w->SubWindow()->hide();
  w->SubWindow()->show();  // shown again: the tree is read again, and fails
  Settle();
  EXPECT_EQ(LastShown(), Utf8(u8"读取体检类别和项目失败，项目维护窗口不能使用。\r\n"
                              u8"原因：no such table: TJCategories"));
  EXPECT_TRUE(host.Area()->subWindowList().isEmpty());
  EXPECT_EQ(host.Names(), (std::vector<std::string>{"create", "show", "activate", "show",
                                                    "deactivate", "destroy"}));
}

// A server with a Chinese collation lists names in pinyin order (GBK byte
// order); SQLite alone would order them by Unicode code point.
TEST_F(TfrmItemEditTest, ItemsOfACategoryComeInPinyinOrder) {
  db.Exec(
      u8"INSERT INTO TJItem (ItemID, ItemCode, ItemName, ItemType, CateId, CateName) VALUES "
      u8"(4, '000004', '尿酸', 0, 1, '检验科'), (5, '000005', '谷丙转氨酶', 0, 1, '检验科'), "
      u8"(6, '000006', 'ALT', 0, 1, '检验科'), (7, '000007', 'ast', 0, 1, '检验科')");
  OpenWindow();
  EXPECT_EQ(ChildTexts(Category(0)),
            (QStringList{QStringLiteral("ALT"), QStringLiteral("ast"), QStringLiteral("谷丙转氨酶"),
                         QStringLiteral("尿酸"), QStringLiteral("血糖")}));
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
