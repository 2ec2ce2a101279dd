#include "TfamCombToItem.h"

#include <QVBoxLayout>
#include <unordered_set>
#include <vector>

#include "Exceptions.h"
#include "HandlerConnect.h"
#include "QtText.h"
#include "TCategory.h"
#include "TCheckGrid.h"
#include "TItemManager.h"

TfamCombToItem::TfamCombToItem(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("famCombToItem"));
  using Kind = TCheckGrid::TColumnKind;
  tsgCombToItem = new TCheckGrid({{QStringLiteral("体检项目名称"), Kind::Text, 228},
                                  {QStringLiteral("是否选中"), Kind::Check, 98},
                                  {QStringLiteral("适用"), Kind::Text, 110},
                                  {QStringLiteral("CombToItem"), Kind::Hidden, 0},
                                  {QStringLiteral("ItemCode"), Kind::Hidden, 0}},
                                 this);
  tsgCombToItem->setObjectName(QStringLiteral("tsgCombToItem"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(tsgCombToItem);
  ConnectHandler(tsgCombToItem, &TCheckGrid::CheckClicked, this,
                 [this](int row, int column) { tsgCombToItemClickCell(row, column); });
  ClearGrid();
}

void TfamCombToItem::ClearGrid() {
  tsgCombToItem->RemoveAllRows();
}

void TfamCombToItem::ShowItem(TCategory* category, TBaseItem* item, bool reload) {
  if (!category || !item) return;
  category_ = category;
  item_ = item;
  if (reload) {
    TItemManager::Instance().FillCategory(category_, 0);
    item_->LoadItems();
  }
  FillGrid();
}

void TfamCombToItem::FillGrid() {
  ClearGrid();
  // The members by key, so each row is looked up once instead of scanning
  // the member list per row.
  std::unordered_set<int32_t> memberIDs;
  for (const TBaseItem* member : item_->Items()) memberIDs.insert(member->ItemID);
  for (TBaseItem* single : category_->Items()) {
    const int row = tsgCombToItem->AppendRow();
    tsgCombToItem->SetText(row, colItemName, QtText::ToQ(single->ItemName));
    tsgCombToItem->SetText(row, colSex, QtText::ToQ(single->Sex));
    tsgCombToItem->item(row, colCombToItem)
        ->setData(Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(single)));
    tsgCombToItem->SetText(row, colItemCode, QtText::ToQ(single->ItemCode));
    if (memberIDs.count(single->ItemID)) Tick(row, true);
  }
}

void TfamCombToItem::Tick(int row, bool checked) {
  tsgCombToItem->SetChecked(row, colChecked, checked);
  tsgCombToItem->SetRowColour(
      row, checked ? TCheckGrid::HighlightColour() : tsgCombToItem->WindowColour());
}

void TfamCombToItem::SetAllChecks(bool checked) {
  for (int row = 0; row < tsgCombToItem->rowCount(); ++row) Tick(row, checked);
}

void TfamCombToItem::tsgCombToItemClickCell(int row, int column) {
  if (column != colChecked) return;
  Tick(row, tsgCombToItem->IsChecked(row, colChecked));
}

int TfamCombToItem::CollectMembers() {
  if (!item_) throw ETJItemException("请您先确定组合项目,然后再选择项目!");
  try {
    // Every ticked row is resolved before the item changes: a row whose item
    // was deleted meanwhile refuses the collection instead of leaving the
    // item with part of its members.
    TItemManager& catalogue = TItemManager::Instance();
    std::vector<TBaseItem*> members;
    for (int row = 0; row < tsgCombToItem->rowCount(); ++row) {
      if (!tsgCombToItem->IsChecked(row, colChecked)) continue;
      TBaseItem* member = catalogue.FindItem(QtText::FromQ(tsgCombToItem->Text(row, colItemCode)));
      if (!member)
        throw ETJItemException("项目[%s]已被删除，不能再作为组合项目的成员，请取消它的选择！",
                               {QtText::FromQ(tsgCombToItem->Text(row, colItemName))});
      members.push_back(member);
    }
    item_->SetItemsString(std::string());
    item_->ClearItems();
    for (TBaseItem* member : members) item_->AddItem(member);
  } catch (Exception& error) {
    error.SetMessage(error.Message() + "\r\n" +
                     FormatText("保存组合项目[%s]的详细信息出现异常!", {item_->ItemName}));
    throw;
  }
  return 0;
}
