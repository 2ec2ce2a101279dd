#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "CatalogueEntries.h"
#include "GbkText.h"
#include "HandlerConnect.h"
#include "QtText.h"
#include "ScreenTest.h"
#include "TItemManager.h"
#include "TPermissionAction.h"
#include "TPromptService.h"
#include "TRadioGroup.h"
#include "TfamCheckSetItem.h"
#include "TfamCheckSetTree.h"
#include "TfamSelCombItem.h"
#include "TfrmCheckSet.h"

namespace {

class TfrmCheckSetTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    host.User.UserName = std::string("Chief");  // every right
    db.Exec(
        u8"INSERT INTO sfChargeItem (ItemCode, ItemName) VALUES ('01', '体检费'), ('02', "
        u8"'化验费')");
    // Candidates (kind, then name in GBK order): 血糖; 肝功能, 尿常规, 血常规. One check set
    // whose members are stored in an order of their own.
    db.Exec(
        u8"INSERT INTO TJItem (ItemID, ItemCode, ItemName, ItemType, AbForPY, AbCustom, UnitPrice, "
        u8"DispOrder, Sex, IsInUse, IsHaveExamProcess, SampleTypeID, ItemsString) VALUES "
        u8"(1, '000001', '血糖', 0, 'XT', '', 5, 0, '不限', 1, 1, 1, ''), "
        u8"(2, '000002', '血常规', 1, 'XCG', 'Blood', 20, 0, '不限', 1, 1, 1, ''), "
        u8"(3, '000003', '尿常规', 1, 'NCG', '', 10.5, 0, '不限', 1, 1, 2, ''), "
        u8"(4, '000004', '肝功能', 1, 'GGN', '', 30.25, 0, '不限', 1, 1, 1, ''), "
        u8"(5, '000005', '入职套餐', 2, 'RZTC', '', 50.25, 7, '男', 1, 0, 5, "
        u8"'000004;000002;')");
  }
  TfrmCheckSet* OpenWindow() {
    w = Open<TfrmCheckSet>();
    tree = w->famCheckSetTree->CheckSetTree;
    f = w->famCheckSetItem;
    s = w->famSelCombItem;
    return w;
  }
  QTreeWidgetItem* Node(int i) { return tree->topLevelItem(i); }
  QTreeWidgetItem* NodeNamed(const QString& text) {
    return tree->findItems(text, Qt::MatchExactly).value(0);
  }
  long long Rows() { return db.QueryInt(u8"SELECT count(*) FROM TJItem"); }
  std::string Row(const char8_t* columns, int itemID) {
    return db.QueryText(Utf8(u8"SELECT ") + Utf8(columns) +
                        " FROM TJItem WHERE ItemID = " + std::to_string(itemID));
  }
  // Turns to the page holding `widget`, as the user does before using it.
  void Reveal(QWidget* widget) {
    for (QWidget* page : {w->TabSheet1, w->TabSheet2})
      if (page->isAncestorOf(widget)) w->PageControl2->setCurrentWidget(page);
    Settle();
  }
  void Click(QPushButton* button) {
    Reveal(button);
    QTest::mouseClick(button, Qt::LeftButton);
    Settle();
  }
  // A double-click on the entry of `list` whose text is `text`.
  void DoubleClick(QListView* list, const QString& text) {
    Reveal(list);
    const QModelIndexList found = list->model()->match(list->model()->index(0, 0), Qt::DisplayRole,
                                                       text, 1, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << text.toStdString();
    list->scrollTo(found.front());
    const QPoint at = list->visualRect(found.front()).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);  // a real double-click starts so
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    Settle();
  }
  static QStringList Texts(const QListView* list, bool visibleOnly = false) {
    QStringList texts;
    for (int row = 0; row < list->model()->rowCount(); ++row)
      if (!visibleOnly || !list->isRowHidden(row))
        texts << list->model()->index(row, 0).data().toString();
    return texts;
  }
  void Search(const QString& text) {
    s->edtSearchCombItem->setText(text);
    Settle();
  }
  const TPromptRecord& LastPrompt() { return TPromptService::History().back(); }

  TfrmCheckSet* w = nullptr;
  QTreeWidget* tree = nullptr;
  TfamCheckSetItem* f = nullptr;
  TfamSelCombItem* s = nullptr;
};

const QStringList kAllCandidates{QStringLiteral("血糖"), QStringLiteral("肝功能"),
                                 QStringLiteral("尿常规"), QStringLiteral("血常规")};

}  // namespace

TEST_F(TfrmCheckSetTest, OpensMaximisedWithItsSetsAndListsAndNothingHappensBeforeASetIsChosen) {
  OpenWindow();
  EXPECT_EQ(w->windowTitle(), QStringLiteral("套餐设置"));
  EXPECT_TRUE(w->SubWindow()->isMaximized());
  EXPECT_EQ(TopTexts(tree), QStringList{QStringLiteral("入职套餐")});
  EXPECT_EQ(w->PageControl2->tabText(0), QStringLiteral("项目信息"));
  EXPECT_EQ(w->PageControl2->currentWidget(), w->TabSheet2);
  EXPECT_EQ(f->combChargeType->count(), 2);
  EXPECT_EQ(Texts(s->lstNotChoseCombItem), QStringList{});  // no set shown yet
  EXPECT_TRUE(s->edtSearchCombItem->isVisibleTo(s));
  EXPECT_EQ(s->lblSearchCombItem->text(), QStringLiteral("项目查找："));
  EXPECT_FALSE(f->combSampleType->isVisibleTo(w));
  const QList<TPermissionAction*> actions =
      w->PermissionActions()->findChildren<TPermissionAction*>();
  EXPECT_EQ(actions.size(), 7);  // with 历史

  // Save, Delete and OK before any set was added or pressed: nothing
  // written, no error; Save says what to do instead.
  f->edtCheckSetName->setText(QStringLiteral("无主套餐"));
  Click(f->btnSave);
  Click(f->btnDelete);
  Click(s->btnOk);
  EXPECT_EQ(Rows(), 5);
  ASSERT_EQ(TPromptService::History().size(), 1u);
  EXPECT_EQ(LastPrompt().Kind, TPromptKind::Information);
  EXPECT_EQ(LastPrompt().Text,
            QStringLiteral("没有正在编辑的套餐：请先按“增加”新建套餐，或在左边选择一个套餐。"));
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(f->CheckSet(), nullptr);
  EXPECT_EQ(f->edtPrice->text(), QString());
}

// Only a left-button click on a set changes the set the editor works on: a
// release on empty space or a right-button press leaves a typed new set.
TEST_F(TfrmCheckSetTest, ABlankReleaseOrARightPressKeepsTheTypedNewSet) {
  OpenWindow();
  ClickNode(tree, Node(0));
  TBaseItem* pressed = f->CheckSet();
  ASSERT_NE(pressed, nullptr);
  Click(f->btnAdd);
  TypeInto(f->edtCheckSetName, QStringLiteral("新套餐"));
  ClickEmptySpace(tree);
  const QPoint onSet = tree->visualItemRect(Node(0)).center();
  QTest::mousePress(tree->viewport(), Qt::RightButton, {}, onSet);
  QTest::mouseRelease(tree->viewport(), Qt::RightButton, {}, onSet);
  ClickEmptySpace(tree);
  Settle();
  EXPECT_TRUE(f->IsNewCheckSet());
  EXPECT_EQ(f->edtCheckSetName->text(), QStringLiteral("新套餐"));
  Click(f->btnSave);
  EXPECT_EQ(Rows(), 6);
  EXPECT_EQ(pressed->ItemName, "入职套餐");
  EXPECT_EQ(TopTexts(tree), (QStringList{QStringLiteral("入职套餐"), QStringLiteral("新套餐")}));
}

TEST_F(TfrmCheckSetTest, ANewSetIsOrderedAfterTheLargestDisplayOrderOfTheSets) {
  OpenWindow();
  Click(f->btnAdd);
  EXPECT_EQ(f->edtSort->text(), QStringLiteral("8"));
  EXPECT_TRUE(f->radIsInUse->IsYes());
  EXPECT_EQ(f->radIsHaveExamProcess->ItemIndex(), 1);  // "否"
  EXPECT_EQ(f->edtCheckSetCode->text(), QString());
  EXPECT_EQ(Texts(s->lstNotChoseCombItem), kAllCandidates);  // nothing chosen yet
  EXPECT_EQ(QApplication::focusWidget(), f->edtCheckSetName);

  db.Exec(u8"DELETE FROM TJItem WHERE ItemType = 2");
  Click(f->btnCancel);
  EXPECT_EQ(f->edtSort->text(), QStringLiteral("0"));
}

TEST_F(TfrmCheckSetTest, ChosenMembersSetThePriceAndAreStoredAndReadBackInTheirOrder) {
  OpenWindow();
  Click(f->btnAdd);
  TypeInto(f->edtCheckSetName, QStringLiteral("O'Neil 的\"入职\"套餐"));
  FocusByMouse(f->edtRemark);  // leaving the name proposes the mnemonic
  EXPECT_EQ(f->edtABForPY->text(), QStringLiteral("O'Neil"));
  f->edtRemark->setText(QStringLiteral("只在内存里"));
  f->combSex->setCurrentIndex(1);
  f->combChargeType->setEditText(QStringLiteral("体检费"));

  // Double-click moves the current entry only, whatever else is selected.
  s->lstNotChoseCombItem->selectionModel()->select(s->lstNotChoseCombItem->model()->index(0, 0),
                                                   QItemSelectionModel::Select);
  DoubleClick(s->lstNotChoseCombItem, QStringLiteral("尿常规"));
  EXPECT_EQ(Texts(s->lstChoseCombItem), QStringList{QStringLiteral("尿常规")});
  DoubleClick(s->lstNotChoseCombItem, QStringLiteral("肝功能"));
  DoubleClick(s->lstNotChoseCombItem, QStringLiteral("血糖"));
  DoubleClick(s->lstChoseCombItem, QStringLiteral("血糖"));  // and back again
  EXPECT_EQ(Texts(s->lstNotChoseCombItem),
            (QStringList{QStringLiteral("血常规"), QStringLiteral("血糖")}));
  Click(s->btnOk);
  EXPECT_EQ(Texts(f->lstSelCombItem),
            (QStringList{QStringLiteral("尿常规"), QStringLiteral("肝功能")}));
  EXPECT_EQ(f->edtPrice->text(), QStringLiteral("40.75"));  // 30.25 + 10.5

  f->radIsHaveExamProcess->SetYes(true);
  Click(f->btnSave);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(Row(u8"ItemCode||'|'||ItemName||'|'||ItemType||'|'||ItemsString||'|'||UnitPrice||'|'||"
                u8"DispOrder||'|'||Sex||'|'||SampleTypeID||'|'||IsInUse||IsHaveExamProcess||'|'||"
                u8"ChargeType||'|'||AbForPY",
                6),
            Utf8(u8"000006|O'Neil 的\"入职\"套餐|2|000003;000004;|40.75|8|女|5|11|体检费|O'Neil"));
  EXPECT_EQ(TopTexts(tree),
            (QStringList{QStringLiteral("入职套餐"), QStringLiteral("O'Neil 的\"入职\"套餐")}));
  EXPECT_EQ(f->edtCheckSetName->text(), QString());  // on to a new set
  EXPECT_EQ(f->lstSelCombItem->count(), 0);

  // Another process: members read back in their stored order, the name
  // unchanged, the remark gone (no column holds it).
  delete w->Frame();
  Settle();
  TItemManager* catalogue = TItemManager::AccessInstance(0);
  TItemManager::AccessInstance(2);
  delete catalogue;
  OpenWindow();
  ClickNode(tree, NodeNamed(QStringLiteral("O'Neil 的\"入职\"套餐")));
  EXPECT_EQ(f->edtCheckSetName->text(), QStringLiteral("O'Neil 的\"入职\"套餐"));
  EXPECT_EQ(f->edtRemark->text(), QString());
  EXPECT_EQ(f->radIsHaveExamProcess->ItemIndex(), 0);  // "是" is what was stored as 1
  EXPECT_EQ(Texts(f->lstSelCombItem),
            (QStringList{QStringLiteral("尿常规"), QStringLiteral("肝功能")}));
  EXPECT_EQ(Texts(s->lstChoseCombItem),
            (QStringList{QStringLiteral("肝功能"), QStringLiteral("尿常规")}));  // candidate order

  // OK with nothing chosen: price 0, no members once saved.
  DoubleClick(s->lstChoseCombItem, QStringLiteral("尿常规"));
  DoubleClick(s->lstChoseCombItem, QStringLiteral("肝功能"));
  Click(s->btnOk);
  EXPECT_EQ(f->edtPrice->text(), QStringLiteral("0"));
  EXPECT_EQ(f->lstSelCombItem->count(), 0);
  Click(f->btnSave);
  EXPECT_EQ(Row(u8"ItemsString||'|'||UnitPrice", 6), "|0.0");
}

TEST_F(TfrmCheckSetTest, AStoredSetShowsItsMembersTheFirstTimeAndDropsUnsavedChoices) {
  OpenWindow();
  ClickNode(tree, Node(0));
  EXPECT_EQ(f->edtCheckSetName->text(), QStringLiteral("入职套餐"));
  EXPECT_EQ(f->edtPrice->text(), QStringLiteral("50.25"));
  EXPECT_EQ(f->combSex->currentText(), QStringLiteral("男"));
  EXPECT_EQ(f->radIsHaveExamProcess->ItemIndex(), 1);  // stored 0 shows "否"
  EXPECT_EQ(Texts(f->lstSelCombItem),
            (QStringList{QStringLiteral("肝功能"), QStringLiteral("血常规")}));
  EXPECT_EQ(Texts(s->lstChoseCombItem),
            (QStringList{QStringLiteral("肝功能"), QStringLiteral("血常规")}));

  // Members chosen and confirmed but not saved are dropped on leaving the
  // set, like the other input: what is listed is what a save stores.
  DoubleClick(s->lstNotChoseCombItem, QStringLiteral("血糖"));
  Click(s->btnOk);
  EXPECT_EQ(f->lstSelCombItem->count(), 3);
  Click(f->btnAdd);
  ClickNode(tree, Node(0));
  EXPECT_EQ(Texts(f->lstSelCombItem),
            (QStringList{QStringLiteral("肝功能"), QStringLiteral("血常规")}));
  EXPECT_EQ(f->edtPrice->text(), QStringLiteral("50.25"));
  Click(f->btnSave);
  EXPECT_EQ(Row(u8"ItemsString", 5), "000004;000002;");
  EXPECT_EQ(TopTexts(tree),
            QStringList{QStringLiteral("入职套餐")});  // renamed in place, no new node

  // Cancel shows a new set and no longer the members of the one before.
  ClickNode(tree, Node(0));
  Click(f->btnCancel);
  EXPECT_EQ(f->lstSelCombItem->count(), 0);
  EXPECT_EQ(s->lstChoseCombItem->count(), 0);
}

TEST_F(TfrmCheckSetTest, DeleteAsksNamingTheShownSetAndNeverDeletesAnother) {
  OpenWindow();
  ClickNode(tree, Node(0));
  Click(f->btnAdd);  // the editor shows a new set, the tree still knows 入职套餐
  Click(f->btnDelete);
  EXPECT_TRUE(TPromptService::History().empty());
  EXPECT_EQ(Rows(), 5);
  EXPECT_EQ(tree->topLevelItemCount(), 1);

  ClickNode(tree, Node(0));
  TPromptService::SetNextAnswer(TPromptAnswer::No);
  Click(f->btnDelete);
  EXPECT_EQ(LastPrompt().Kind, TPromptKind::Confirmation);
  EXPECT_EQ(LastPrompt().Text, QStringLiteral("您确定要删除该套餐吗？\n000005　入职套餐"));
  EXPECT_EQ(Rows(), 5);
  EXPECT_EQ(tree->topLevelItemCount(), 1);
  EXPECT_EQ(f->edtCheckSetName->text(), QStringLiteral("入职套餐"));  // No keeps everything

  TBaseItem* deleted = f->CheckSet();
  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  Click(f->btnDelete);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(Rows(), 4);
  EXPECT_EQ(tree->topLevelItemCount(), 0);
  EXPECT_FALSE(TItemManager::Instance().Items().Contains(deleted));
  EXPECT_EQ(w->famCheckSetTree->CurrentCheckSet(), nullptr);
  EXPECT_EQ(f->edtCheckSetCode->text(), QString());
  EXPECT_EQ(Texts(s->lstNotChoseCombItem), kAllCandidates);  // the new set in both frames

  // A new set chosen on the selection page belongs to the new set.
  DoubleClick(s->lstNotChoseCombItem, QStringLiteral("血常规"));
  Click(s->btnOk);
  EXPECT_EQ(Texts(f->lstSelCombItem), QStringList{QStringLiteral("血常规")});
}

TEST_F(TfrmCheckSetTest, AReferencedSetIsRefusedAndKeepsItsNode) {
  db.Exec(
      u8"INSERT INTO TJItem (ItemID, ItemCode, ItemName, ItemType, ItemsString) "
      u8"VALUES (6, '000006', '团体套餐', 2, '000005;')");
  OpenWindow();
  TItemManager::Instance().LoadItems();  // the composites' members are built
  ClickNode(tree, Node(0));
  ASSERT_EQ(f->edtCheckSetName->text(), QStringLiteral("入职套餐"));
  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  Click(f->btnDelete);
  EXPECT_EQ(LastPrompt().Kind, TPromptKind::Warning);
  EXPECT_EQ(LastPrompt().Text, QStringLiteral("引用项目不能被删除!\r\n被套餐“团体套餐”使用"));
  EXPECT_EQ(Rows(), 6);
  EXPECT_EQ(TopTexts(tree), (QStringList{QStringLiteral("入职套餐"), QStringLiteral("团体套餐")}));
  EXPECT_EQ(f->edtCheckSetName->text(), QStringLiteral("入职套餐"));

  // Deleted by another window: gone from the tree when it is built again,
  // and the pressed set is forgotten with the old nodes.
  TBaseItem* group = TItemManager::Instance().FindItem("000006");
  group->Delete();
  CatalogueEntries::Retire(group);
  w->Frame()->hide();
  w->Frame()->show();
  Settle();
  EXPECT_EQ(TopTexts(tree), QStringList{QStringLiteral("入职套餐")});
  EXPECT_EQ(w->famCheckSetTree->CurrentCheckSet(), nullptr);
}

TEST_F(TfrmCheckSetTest, TheSearchNarrowsTheNotChosenCandidatesByCodeNameAndMnemonic) {
  OpenWindow();
  Click(f->btnAdd);
  DoubleClick(s->lstNotChoseCombItem, QStringLiteral("血糖"));
  const QStringList rest{QStringLiteral("肝功能"), QStringLiteral("尿常规"),
                         QStringLiteral("血常规")};
  Search(QStringLiteral("xcg"));  // pinyin mnemonic, any case
  EXPECT_EQ(Texts(s->lstNotChoseCombItem, true), QStringList{QStringLiteral("血常规")});
  EXPECT_EQ(Texts(s->lstChoseCombItem, true), QStringList{QStringLiteral("血糖")});
  Search(QStringLiteral("000003"));
  EXPECT_EQ(Texts(s->lstNotChoseCombItem, true), QStringList{QStringLiteral("尿常规")});
  Search(QStringLiteral("肝"));
  EXPECT_EQ(Texts(s->lstNotChoseCombItem, true), QStringList{QStringLiteral("肝功能")});
  Search(QStringLiteral(" BLOOD "));  // custom code
  EXPECT_EQ(Texts(s->lstNotChoseCombItem, true), QStringList{QStringLiteral("血常规")});

  // An entry moved back while the search is on follows the search.
  DoubleClick(s->lstChoseCombItem, QStringLiteral("血糖"));
  EXPECT_EQ(Texts(s->lstNotChoseCombItem, true), QStringList{QStringLiteral("血常规")});
  Search(QStringLiteral("常规"));
  EXPECT_EQ(Texts(s->lstNotChoseCombItem, true),
            (QStringList{QStringLiteral("尿常规"), QStringLiteral("血常规")}));
  Search(QString());
  EXPECT_EQ(Texts(s->lstNotChoseCombItem, true), rest + QStringList{QStringLiteral("血糖")});

  // Showing another set keeps the search.
  Search(QStringLiteral("ncg"));
  ClickNode(tree, Node(0));
  EXPECT_EQ(Texts(s->lstNotChoseCombItem, true), QStringList{QStringLiteral("尿常规")});
  EXPECT_EQ(Texts(s->lstChoseCombItem, true),
            (QStringList{QStringLiteral("肝功能"), QStringLiteral("血常规")}));
}

// The not-chosen list holds only what the search shows: a row of it must
// still stand for its own candidate, and an entry put back while the search
// hides it must come back, at the end, once the search lets it.
TEST_F(TfrmCheckSetTest, EntriesMovedWhileTheSearchNarrowsTheListAreTheOnesClicked) {
  OpenWindow();
  Click(f->btnAdd);
  Search(QStringLiteral("常规"));
  EXPECT_EQ(Texts(s->lstNotChoseCombItem),
            (QStringList{QStringLiteral("尿常规"), QStringLiteral("血常规")}));
  DoubleClick(s->lstNotChoseCombItem, QStringLiteral("血常规"));
  EXPECT_EQ(Texts(s->lstNotChoseCombItem), QStringList{QStringLiteral("尿常规")});
  Search(QString());
  DoubleClick(s->lstNotChoseCombItem, QStringLiteral("血糖"));
  EXPECT_EQ(Texts(s->lstNotChoseCombItem),
            (QStringList{QStringLiteral("肝功能"), QStringLiteral("尿常规")}));

  Search(QStringLiteral("肝"));
  DoubleClick(s->lstChoseCombItem, QStringLiteral("血糖"));  // back, but not what is sought
  EXPECT_EQ(Texts(s->lstNotChoseCombItem), QStringList{QStringLiteral("肝功能")});
  Search(QString());
  EXPECT_EQ(
      Texts(s->lstNotChoseCombItem),
      (QStringList{QStringLiteral("肝功能"), QStringLiteral("尿常规"), QStringLiteral("血糖")}));
  Click(s->btnOk);
  EXPECT_EQ(Texts(f->lstSelCombItem), QStringList{QStringLiteral("血常规")});
  EXPECT_EQ(s->CandidateAt(s->lstNotChoseCombItem, 2)->ItemName, "血糖");
}

TEST_F(TfrmCheckSetTest, ACandidateThatLeftTheCatalogueIsNotAddedAndIsNamed) {
  OpenWindow();
  Click(f->btnAdd);
  DoubleClick(s->lstNotChoseCombItem, QStringLiteral("尿常规"));
  DoubleClick(s->lstNotChoseCombItem, QStringLiteral("血常规"));
  // Deleted in another window after this one read its candidates.
  TItemManager& catalogue = TItemManager::Instance();
  TBaseItem* gone = catalogue.FindItem("000003");
  catalogue.RemoveItem(gone);
  db.Exec(u8"DELETE FROM TJItem WHERE ItemID = 3");
  Click(s->btnOk);
  EXPECT_EQ(LastPrompt().Kind, TPromptKind::Warning);
  EXPECT_TRUE(LastPrompt().Text.contains(QStringLiteral("尿常规")));
  EXPECT_EQ(Texts(f->lstSelCombItem), QStringList{QStringLiteral("血常规")});
  EXPECT_EQ(Texts(s->lstChoseCombItem), QStringList{QStringLiteral("血常规")});
  EXPECT_EQ(f->edtPrice->text(), QStringLiteral("20"));
  delete gone;
}

TEST_F(TfrmCheckSetTest, BadInputIsRefusedAndWritesNothing) {
  OpenWindow();
  Click(f->btnAdd);
  f->edtCheckSetName->setText(QStringLiteral("入职套餐"));  // another set's name
  Click(f->btnSave);
  ASSERT_FALSE(TPromptService::History().empty());
  EXPECT_EQ(LastPrompt().Kind, TPromptKind::Warning);
  EXPECT_EQ(LastPrompt().Text,
            QStringLiteral("系统中已存在名为“入职套餐”的项目，套餐名称不能重复！"));
  f->edtCheckSetName->setText(QStringLiteral("体检套餐"));
  f->edtPrice->setText(QStringLiteral("-1"));
  Click(f->btnSave);
  EXPECT_EQ(LastShown(), Utf8(u8"单价不能为负数！"));
  f->edtPrice->setText(QStringLiteral("十元"));
  Click(f->btnSave);
  EXPECT_EQ(LastShown(), Utf8(u8"单价“十元”不是有效的数字。"));
  f->edtPrice->setText(QStringLiteral("1"));
  f->edtSort->setText(QStringLiteral("第一"));
  Click(f->btnSave);
  EXPECT_EQ(LastShown(), Utf8(u8"显示顺序“第一”不是有效的整数。"));
  EXPECT_EQ(Rows(), 5);
  EXPECT_EQ(tree->topLevelItemCount(), 1);

  // A stored set renamed to another set's name is refused and keeps its
  // values; the other set was stored elsewhere and is on no tree here.
  db.Exec(
      u8"INSERT INTO TJItem (ItemID, ItemCode, ItemName, ItemType) "
      u8"VALUES (7, '000007', '团体套餐', 2)");
  ClickNode(tree, Node(0));
  TBaseItem* stored = f->CheckSet();
  f->edtCheckSetName->setText(QStringLiteral("团体套餐"));
  Click(f->btnSave);
  EXPECT_EQ(LastPrompt().Text,
            QStringLiteral("系统中已存在名为“团体套餐”的项目，套餐名称不能重复！"));
  f->edtCheckSetName->setText(QString());
  Click(f->btnSave);
  EXPECT_EQ(LastShown(), Utf8(u8"项目名称不能为空！"));
  EXPECT_EQ(QtText::ToQ(stored->ItemName), QStringLiteral("入职套餐"));
  EXPECT_EQ(Row(u8"ItemName", 5), Utf8(u8"入职套餐"));
  EXPECT_EQ(TopTexts(tree), QStringList{QStringLiteral("入职套餐")});

  // Text fields take no more than their column holds (GBK bytes).
  f->edtCheckSetName->clear();
  for (int i = 0; i < 60; ++i) f->edtCheckSetName->insert(QStringLiteral("中"));
  EXPECT_EQ(f->edtCheckSetName->text().size(), 50);
}

TEST_F(TfrmCheckSetTest, KeyboardFollowsTheFillingOrderAndEnterOnSaveSaves) {
  OpenWindow();
  Click(f->btnAdd);
  f->edtCheckSetName->setText(QStringLiteral("键盘套餐"));
  const std::vector<QWidget*> order = {f->edtCheckSetName, f->combSex,        f->edtSort,
                                       f->edtPrice,        f->edtABForPY,     f->edtABForWB,
                                       f->edtCustom,       f->combChargeType, f->edtRemark};
  for (size_t i = 0; i + 1 < order.size(); ++i) {
    order[i]->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(order[i + 1]->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == order[i + 1])
        << i;
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), f->btnSave);

  // Tab reaches a radio group on its chosen button and leaves it in order.
  f->combSex->setFocus(Qt::TabFocusReason);
  QTest::keyClick(f->combSex, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), f->radIsInUse->Button(0));
  f->radIsInUse->SetYes(false);
  f->combSex->setFocus(Qt::TabFocusReason);
  QTest::keyClick(f->combSex, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), f->radIsInUse->Button(1));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), f->edtSort);
  f->radIsInUse->Button(1)->setFocus(Qt::TabFocusReason);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // Enter moves on as Tab
  EXPECT_EQ(QApplication::focusWidget(), f->edtSort);

  f->btnSave->setFocus(Qt::TabFocusReason);
  QTest::keyClick(f->btnSave, Qt::Key_Return);
  Settle();
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(Row(u8"ItemName||'|'||IsInUse", 6), Utf8(u8"键盘套餐|0"));
}

TEST_F(TfrmCheckSetTest, ButtonsFollowTheRightsAndGuardedHandlersRefuseWithoutThem) {
  host.User.UserName = std::string("clerk");
  host.User.Rights = {{"TJXT204004"}};  // save only
  OpenWindow();
  EXPECT_TRUE(f->btnSave->isEnabled());
  for (QPushButton* button : {f->btnAdd, f->btnCancel, f->btnDelete, f->btnPrintForm, s->btnOk})
    EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
  EXPECT_TRUE(f->btnExit->isEnabled());
  EXPECT_TRUE(s->btnExit->isEnabled());

  ClickNode(tree, Node(0));
  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  RunHandler([this] { w->RunCommand(f->btnDelete); });  // around the disabled button
  EXPECT_EQ(LastShown(), Utf8(u8"您没有“删除”的权限（功能号 TJXT204002），请与管理员联系！"));
  EXPECT_EQ(Rows(), 5);
  RunHandler([this] { w->RunCommand(s->btnOk); });
  EXPECT_EQ(LastShown(), Utf8(u8"您没有“确定”的权限（功能号 TJXT204006），请与管理员联系！"));
}

TEST_F(TfrmCheckSetTest, AWindowThatCannotReadItsDataSaysWhyAndCloses) {
  db.Exec(u8"DROP TABLE sfChargeItem");
  try {
    OpenWindow();
    ADD_FAILURE() << "the window opened";
  } catch (const std::exception& error) {
    const std::string message = GbkText::ToUtf8(error.what());
    EXPECT_EQ(
        message.rfind(Utf8(u8"读取收费类型和体检项目失败，套餐设置窗口不能使用。\r\n原因："), 0),
        0u)
        << message;
    EXPECT_NE(message.find("sfChargeItem"), std::string::npos) << message;
  }
  EXPECT_EQ(host.Area()->subWindowList().size(), 0);

  // The check sets themselves unreadable when the window is shown.
  db.Exec(u8"CREATE TABLE sfChargeItem (ItemCode TEXT, ItemName TEXT)");
  OpenWindow();
  QPointer<QWidget> frame = w->Frame();
  db.Exec(u8"ALTER TABLE TJItem RENAME TO TJItemGone");
  TItemManager* catalogue = TItemManager::AccessInstance(0);
  TItemManager::AccessInstance(2);
  delete catalogue;
  frame->hide();
  frame->show();
  Settle();
  EXPECT_EQ(LastShown().rfind(Utf8(u8"读取套餐失败，套餐设置窗口不能使用。\r\n原因："), 0), 0u)
      << LastShown();
  EXPECT_NE(LastShown().find("TJItem"), std::string::npos) << LastShown();
  EXPECT_TRUE(frame.isNull());
}

namespace {

// A member's price changed since the set was saved: the window says what the
// members cost now beside the stored price, and nothing while they agree.
TEST_F(TfrmCheckSetTest, TheMembersCurrentPriceShowsWhenItDiffersFromTheSets) {
  OpenWindow();
  ClickNode(tree, Node(0));
  EXPECT_EQ(f->lblMembersPrice->text(), QString());  // 30.25 + 20 = 50.25
  TItemManager::Instance().FindItem("000002")->UnitPrice = 25;
  ClickNode(tree, Node(0));
  EXPECT_EQ(f->lblMembersPrice->text(), QStringLiteral("成员现价合计：55.25（与套餐单价不同）"));
  EXPECT_EQ(f->edtPrice->text(), QStringLiteral("50.25"));
}

}  // namespace
