#include "TfamCheckSetTree.h"

#include <QTreeWidget>
#include <QVBoxLayout>
#include <vector>

#include "CatalogueEntries.h"
#include "FieldEvents.h"
#include "QtText.h"
#include "TBaseItem.h"
#include "TImageList.h"
#include "TItemManager.h"
#include "TreeNodeData.h"

namespace {

constexpr int kCheckSet = 2;  // ItemType of a check set

TBaseItem* CheckSetOf(const QTreeWidgetItem* node) {
  return dynamic_cast<TBaseItem*>(TreeNodeData::Object(node));
}

}  // namespace

TfamCheckSetTree::TfamCheckSetTree(QWidget* parent)
    : QFrame(parent), CheckSetTree(new QTreeWidget(this)), imgTree(new TImageList(this)) {
  setObjectName(QStringLiteral("famCheckSetTree"));
  CheckSetTree->setObjectName(QStringLiteral("CheckSetTree"));
  imgTree->setObjectName(QStringLiteral("imgTree"));
  imgTree->FillWithMaintenanceGlyphs(20);
  CheckSetTree->setHeaderHidden(true);
  CheckSetTree->setIndentation(19);
  CheckSetTree->setRootIsDecorated(false);
  CheckSetTree->setIconSize(QSize(16, 16));
  // A label edited in place changes the display only (F2, as in the toolkit).
  CheckSetTree->setEditTriggers(QAbstractItemView::EditKeyPressed);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(CheckSetTree);
  ConnectTreePress(CheckSetTree,
                   [this](const QPoint& position) { CheckSetTreeMouseDown(position); });
}

void TfamCheckSetTree::BuildTree() {
  TItemManager& catalogue = TItemManager::Instance();
  // A set deleted in another window has left the catalogue: listing it
  // again would offer a row that no longer exists.
  std::vector<TBaseItem*> gone;
  for (TBaseItem* checkSet : checkSets_)
    if (!catalogue.Items().Contains(checkSet)) gone.push_back(checkSet);
  for (TBaseItem* checkSet : gone) checkSets_.Remove(checkSet);
  catalogue.CollectItems(checkSets_, kCheckSet);
  currentCheckSet_ = nullptr;  // it may name a node that is about to go
  CheckSetTree->clear();
  for (TBaseItem* checkSet : checkSets_) AddNode(checkSet, SetImageIndex, SetSelectedIndex);
}

void TfamCheckSetTree::AppendCheckSetNode(TBaseItem* checkSet) {
  if (!checkSet) return;
  AddNode(checkSet, 2, 3);
  checkSets_.Add(checkSet);
}

void TfamCheckSetTree::AddNode(TBaseItem* checkSet, int imageIndex, int selectedIndex) {
  auto* node = new QTreeWidgetItem(CheckSetTree, {QtText::ToQ(checkSet->ItemName)});
  node->setFlags(node->flags() | Qt::ItemIsEditable);
  TreeNodeData::SetObject(node, checkSet);
  TreeNodeData::SetPictures(node, imageIndex, selectedIndex);
  node->setIcon(0, imgTree->NodeIcon(imageIndex, selectedIndex));
}

void TfamCheckSetTree::UpdateCheckSetNode(TBaseItem* checkSet) {
  for (int i = 0; i < CheckSetTree->topLevelItemCount(); ++i) {
    QTreeWidgetItem* node = CheckSetTree->topLevelItem(i);
    const TBaseItem* shown = CheckSetOf(node);
    if (shown && shown->ItemCode == checkSet->ItemCode) {
      node->setText(0, QtText::ToQ(checkSet->ItemName));
      return;
    }
  }
  AppendCheckSetNode(checkSet);
}

void TfamCheckSetTree::RemoveCheckSetNode(TBaseItem* checkSet) {
  std::vector<QTreeWidgetItem*> nodes;
  for (int i = CheckSetTree->topLevelItemCount() - 1; i >= 0; --i)
    if (TBaseItem* shown = CheckSetOf(CheckSetTree->topLevelItem(i)); shown && shown == checkSet)
      nodes.push_back(CheckSetTree->topLevelItem(i));
  if (currentCheckSet_ == checkSet) currentCheckSet_ = nullptr;
  for (QTreeWidgetItem* node : nodes) delete node;
  // The tree would otherwise highlight a neighbour the editor does not show.
  CheckSetTree->clearSelection();
  checkSets_.Remove(checkSet);
  if (!CatalogueEntries::Retire(checkSet)) CatalogueEntries::KeepRetired(checkSet);
}

void TfamCheckSetTree::CheckSetTreeMouseDown(const QPoint& position) {
  if (CheckSetTree->topLevelItemCount() == 0) return;
  if (TBaseItem* checkSet = CheckSetOf(CheckSetTree->itemAt(position))) currentCheckSet_ = checkSet;
}
