#include "TfamCateTree.h"

#include <QTreeWidget>
#include <QVBoxLayout>

#include "FieldEvents.h"
#include "QtText.h"
#include "TCategory.h"
#include "TCategoryManager.h"
#include "TImageList.h"
#include "TreeNodeData.h"

namespace {

TCategory* CategoryOf(const QTreeWidgetItem* node) {
  return dynamic_cast<TCategory*>(TreeNodeData::Object(node));
}

}  // namespace

TfamCateTree::TfamCateTree(QWidget* parent)
    : QFrame(parent), chkCateTree(new QTreeWidget(this)), imgTree(new TImageList(this)) {
  setObjectName(QStringLiteral("famCateTree"));
  chkCateTree->setObjectName(QStringLiteral("chkCateTree"));
  imgTree->setObjectName(QStringLiteral("imgTree"));
  imgTree->FillWithMaintenanceGlyphs(11);
  chkCateTree->setHeaderHidden(true);
  chkCateTree->setIndentation(19);
  chkCateTree->setRootIsDecorated(false);
  chkCateTree->setIconSize(QSize(16, 16));
  chkCateTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(chkCateTree);
  ConnectTreePress(chkCateTree, [this](const QPoint& position) { chkCateTreeMouseDown(position); });
}

void TfamCateTree::BuildTree() {
  chkCateTree->clear();
  currentCategory_ = nullptr;  // it may name a node that is gone
  TDBObjectList& categories = TCategoryManager::Instance().Categories();
  for (int i = 0; i < categories.Count(); ++i) AppendCategoryNode(categories.ItemAs<TCategory>(i));
}

QTreeWidgetItem* TfamCateTree::AppendCategoryNode(TCategory* category) {
  auto* node = new QTreeWidgetItem(chkCateTree, {QtText::ToQ(category->CateName)});
  TreeNodeData::SetObject(node, category);
  TreeNodeData::SetPictures(node, imageIndex_, selectedIndex_);
  node->setIcon(0, imgTree->NodeIcon(imageIndex_, selectedIndex_));
  return node;
}

void TfamCateTree::UpdateCategoryNode(TCategory* category) {
  if (QTreeWidgetItem* node = TreeNodeData::FindByObject(chkCateTree, category))
    node->setText(0, QtText::ToQ(category->CateName));
  else
    AppendCategoryNode(category);
}

void TfamCateTree::RemoveCategoryNode(TCategory* category) {
  delete TreeNodeData::FindByObject(chkCateTree, category);
  // The tree would otherwise highlight a neighbour the editor does not show.
  chkCateTree->clearSelection();
  // The cache frees the category: the pressed one must not name it then.
  if (currentCategory_ == category) currentCategory_ = nullptr;
  TCategoryManager::Instance().RemoveCategory(category);
}

void TfamCateTree::chkCateTreeMouseDown(const QPoint& position) {
  if (chkCateTree->topLevelItemCount() == 0) return;
  if (TCategory* category = CategoryOf(chkCateTree->itemAt(position))) currentCategory_ = category;
}
