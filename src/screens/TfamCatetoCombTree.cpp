#include "TfamCatetoCombTree.h"

#include <QTreeWidget>
#include <QVBoxLayout>

#include "CategoryTrees.h"
#include "Exceptions.h"
#include "FieldEvents.h"
#include "QtText.h"
#include "TCategory.h"
#include "TDBObjectList.h"
#include "TImageList.h"
#include "TItemManager.h"
#include "TRememberedNode.h"
#include "TreeNodeData.h"

namespace {

TBaseItem* CombItemOf(const QTreeWidgetItem* node) {
  return TreeNodeData::Level(node) == 1 ? dynamic_cast<TBaseItem*>(TreeNodeData::Object(node))
                                        : nullptr;
}

}  // namespace

TfamCatetoCombTree::TfamCatetoCombTree(QWidget* parent)
    : QFrame(parent),
      CateToCombTree(new QTreeWidget(this)),
      imgTree(new TImageList(this)),
      clickedNode_(new TRememberedNode(CateToCombTree)) {
  setObjectName(QStringLiteral("famCatetoCombTree"));
  CateToCombTree->setObjectName(QStringLiteral("CateToCombTree"));
  imgTree->setObjectName(QStringLiteral("imgTree"));
  imgTree->FillWithMaintenanceGlyphs(19);
  CateToCombTree->setHeaderHidden(true);
  CateToCombTree->setIndentation(19);
  CateToCombTree->setIconSize(QSize(16, 16));
  CateToCombTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(CateToCombTree);
  ConnectTreePress(CateToCombTree,
                   [this](const QPoint& position) { CateToCombTreeMouseDown(position); });
}

TfamCatetoCombTree::~TfamCatetoCombTree() {
  ForgetNodes();  // the nodes go before the categories they refer to
}

QTreeWidgetItem* TfamCatetoCombTree::ClickedNode() const {
  return clickedNode_->Node();
}

void TfamCatetoCombTree::ForgetNodes() {
  currentCategory_ = nullptr;  // it may be a category of the old build
  currentCombItem_ = nullptr;
  CateToCombTree->clear();  // the remembered node goes with the nodes
}

const TDBObjectList& TfamCatetoCombTree::Categories() const {
  static const TDBObjectList none(false);
  return categories_ ? *categories_ : none;
}

void TfamCatetoCombTree::BuildTree() {
  TItemManager::Instance().LoadItems();  // every composite's members, once
  ForgetNodes();
  categories_ = std::make_unique<TDBObjectList>(true);
  CategoryTrees::AddCategoryNodes(CateToCombTree, *categories_, 1, *imgTree, ItemImageIndex,
                                  ItemSelectedIndex);
}

QTreeWidgetItem* TfamCatetoCombTree::AddNode(QTreeWidgetItem* parent, const std::string& text,
                                             TBaseDBObject* object, int imageIndex,
                                             int selectedIndex) {
  return TreeNodeData::AddNode(CateToCombTree, parent, QtText::ToQ(text), object, imageIndex,
                               selectedIndex, *imgTree);
}

QTreeWidgetItem* TfamCatetoCombTree::CategoryNode(const TCategory* category) const {
  const QString name = QtText::ToQ(category->CateName);
  for (int i = 0; i < CateToCombTree->topLevelItemCount(); ++i)
    if (CateToCombTree->topLevelItem(i)->text(0) == name) return CateToCombTree->topLevelItem(i);
  return nullptr;
}

void TfamCatetoCombTree::AddItemNode(TCategory* category, TBaseItem* item) {
  if (QTreeWidgetItem* categoryNode = CategoryNode(category))
    AddNode(categoryNode, item->ItemName, item, ItemImageIndex, ItemSelectedIndex);
}

void TfamCatetoCombTree::MoveItemNode(TCategory* category, TBaseItem* item) {
  QTreeWidgetItem* node = TreeNodeData::FindByObject(CateToCombTree, item);
  QTreeWidgetItem* categoryNode = CategoryNode(category);
  if (!node || !categoryNode || node->parent() == categoryNode) return;
  // Taken out and put back, not deleted: the remembered node stays valid.
  const bool current = CateToCombTree->currentItem() == node;
  categoryNode->addChild(node->parent()->takeChild(node->parent()->indexOfChild(node)));
  if (current) CateToCombTree->setCurrentItem(node);
}

void TfamCatetoCombTree::RenameItemNode(TCategory* category, TBaseItem* item) {
  const int32_t cateID = category->CateID.value_or(0);
  TreeNodeData::ForEachNode(CateToCombTree, [cateID, item](QTreeWidgetItem* node) {
    const TBaseItem* shown = CombItemOf(node);
    if (shown && shown->CateID == cateID && shown->ItemCode == item->ItemCode)
      node->setText(0, QtText::ToQ(item->ItemName));
  });
}

void TfamCatetoCombTree::RemoveItemNode(TBaseItem* item) {
  QTreeWidgetItem* node = TreeNodeData::FindNode(CateToCombTree, [item](const QTreeWidgetItem* at) {
    const TBaseItem* shown = CombItemOf(at);
    return shown && shown->ItemCode == item->ItemCode;
  });
  if (!node) return;
  if (currentCombItem_ == CombItemOf(node)) currentCombItem_ = nullptr;
  // The selection must not move on to a neighbour the editor does not show.
  CateToCombTree->setCurrentItem(node->parent());
  delete node;
}

void TfamCatetoCombTree::CateToCombTreeMouseDown(const QPoint& position) {
  if (CateToCombTree->topLevelItemCount() == 0) return;
  QTreeWidgetItem* node = CateToCombTree->itemAt(position);
  if (!node) return;  // empty space: the remembered values stay
  clickedNode_->Remember(node);
  if (TBaseItem* item = CombItemOf(node)) {
    currentCombItem_ = item;
    currentCategory_ = dynamic_cast<TCategory*>(TreeNodeData::Object(node->parent()));
  } else {
    currentCombItem_ = nullptr;
    currentCategory_ = dynamic_cast<TCategory*>(TreeNodeData::Object(node));
  }
}
