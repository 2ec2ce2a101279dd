#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "ScreenTest.h"
#include "TfamCateToItemTree.h"
#include "TfamCategory.h"
#include "TfamItem.h"
#include "TfrmCategorie.h"
#include "TfrmItemEdit.h"

namespace {

// A save in one window reaches the other open windows of the process: their
// trees follow, and what the user is typing there stays.
TEST_F(ScreenTest, AnotherWindowsSaveReachesTheOpenTreesAndKeepsWhatIsTyped) {
  LoadDemoData();
  auto* items = Open<TfrmItemEdit>();
  QTreeWidget* itemTree = items->famCateToItemTree->chkCateTree;
  const int before = itemTree->topLevelItemCount();
  items->famItem->edtItemName->setText(QStringLiteral("正在输入"));

  auto* categories = Open<TfrmCategorie>();
  QTest::mouseClick(categories->btnADD, Qt::LeftButton);
  categories->famCategory->edtCateName->setText(QStringLiteral("新开科室"));
  QTest::mouseClick(categories->btnSave, Qt::LeftButton);
  Settle();

  ASSERT_EQ(itemTree->topLevelItemCount(), before + 1);
  EXPECT_TRUE(TopTexts(itemTree).contains(QStringLiteral("新开科室")));
  EXPECT_EQ(items->famItem->edtItemName->text(), QStringLiteral("正在输入"));

  // A refused save changes nothing, so nothing follows.
  categories->famCategory->edtCateName->setText(QStringLiteral("新开科室"));
  QTest::mouseClick(categories->btnADD, Qt::LeftButton);
  categories->famCategory->edtCateName->setText(QStringLiteral("新开科室"));
  QTest::mouseClick(categories->btnSave, Qt::LeftButton);
  Settle();
  EXPECT_EQ(itemTree->topLevelItemCount(), before + 1);
}

}  // namespace
