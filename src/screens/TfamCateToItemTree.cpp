#include "TfamCateToItemTree.h"

#include <QTreeWidget>
#include <QVBoxLayout>

#include "CategoryTrees.h"
#include "FieldEvents.h"
#include "QtText.h"
#include "TBaseItem.h"
#include "TCategory.h"
#include "TDBObjectList.h"
#include "TImageList.h"
#include "TRememberedNode.h"
#include "TreeNodeData.h"

namespace {

TBaseItem* ItemOf(const QTreeWidgetItem* node) {
  return dynamic_cast<TBaseItem*>(TreeNodeData::Object(node));
}

}  // namespace

TfamCateToItemTree::TfamCateToItemTree(QWidget* parent)
    : QFrame(parent),
      chkCateTree(new QTreeWidget(this)),
      imgTree(new TImageList(this)),
      clickedNode_(new TRememberedNode(chkCateTree)) {
  setObjectName(QStringLiteral("famCateToItemTree"));
  chkCateTree->setObjectName(QStringLiteral("chkCateTree"));
  imgTree->setObjectName(QStringLiteral("imgTree"));
  imgTree->FillWithMaintenanceGlyphs(19);
  chkCateTree->setHeaderHidden(true);
  chkCateTree->setIndentation(19);
  chkCateTree->setIconSize(QSize(16, 16));
  chkCateTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(chkCateTree);
  resize(184, 442);
  ConnectTreePress(chkCateTree, [this](const QPoint& position) { chkCateTreeMouseDown(position); });
}

TfamCateToItemTree::~TfamCateToItemTree() {
  chkCateTree->clear();  // the nodes go before the categories they refer to
}

QTreeWidgetItem* TfamCateToItemTree::ClickedNode() const {
  return clickedNode_->Node();
}

const TDBObjectList& TfamCateToItemTree::Categories() const {
  static const TDBObjectList none(false);
  return categories_ ? *categories_ : none;
}

void TfamCateToItemTree::BuildTree() {
  chkCateTree->clear();  // the remembered node goes with the nodes
  categories_ = std::make_unique<TDBObjectList>(true);
  CategoryTrees::AddCategoryNodes(chkCateTree, *categories_, 0, *imgTree, ItemImageIndex,
                                  ItemSelectedIndex);
}

QTreeWidgetItem* TfamCateToItemTree::AddNode(QTreeWidgetItem* parent, const std::string& text,
                                             TBaseDBObject* object, int imageIndex,
                                             int selectedIndex) {
  return TreeNodeData::AddNode(chkCateTree, parent, QtText::ToQ(text), object, imageIndex,
                               selectedIndex, *imgTree);
}

void TfamCateToItemTree::AddItemNode(TBaseItem* item) {
  for (int i = 0; i < chkCateTree->topLevelItemCount(); ++i) {
    QTreeWidgetItem* categoryNode = chkCateTree->topLevelItem(i);
    if (QtText::FromQ(categoryNode->text(0)) != item->CateName) continue;
    AddNode(categoryNode, item->ItemName, item, ItemImageIndex, ItemSelectedIndex);
    return;
  }
}

void TfamCateToItemTree::RenameItemNode(TBaseItem* item) {
  QTreeWidgetItem* node = TreeNodeData::FindByObject(chkCateTree, item);
  if (!node)
    node = TreeNodeData::FindNode(chkCateTree, [this, item](const QTreeWidgetItem* at) {
      const TBaseItem* shown = TreeNodeData::Level(at) == 1 ? ItemOf(at) : nullptr;
      return shown && shown->ItemName == item->ItemName;
    });
  if (node) node->setText(0, QtText::ToQ(item->ItemName));
}

TBaseItem* TfamCateToItemTree::GetSelectedItem() const {
  return ItemOf(clickedNode_->Node());
}

void TfamCateToItemTree::chkCateTreeMouseDown(const QPoint& position) {
  if (chkCateTree->topLevelItemCount() == 0) return;
  QTreeWidgetItem* node = chkCateTree->itemAt(position);
  if (!node) return;  // empty space: the editor keeps its entry
  clickedNode_->Remember(TreeNodeData::Object(node) ? node : nullptr);
}
