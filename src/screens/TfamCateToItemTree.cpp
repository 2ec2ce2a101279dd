#include "TfamCateToItemTree.h"

#include <QMouseEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "HandlerConnect.h"
#include "QtText.h"
#include "TCategory.h"
#include "TDBObjectList.h"
#include "TImageList.h"
#include "TItemManager.h"
#include "TRememberedNode.h"
#include "TSingleComm.h"
#include "TreeNodeData.h"

namespace {

TBaseItem* ItemOf(const QTreeWidgetItem* node) {
  return dynamic_cast<TBaseItem*>(TreeNodeData::Object(node));
}

// Resumes repainting of the tree whatever happens while it is built.
class SuspendedRepaint {
 public:
  explicit SuspendedRepaint(QWidget* widget) : widget_(widget) {
    widget_->setUpdatesEnabled(false);
  }
  ~SuspendedRepaint() { widget_->setUpdatesEnabled(true); }
  SuspendedRepaint(const SuspendedRepaint&) = delete;
  SuspendedRepaint& operator=(const SuspendedRepaint&) = delete;

 private:
  QWidget* widget_;
};

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
  ConnectEvent(chkCateTree->viewport(), QEvent::MouseButtonPress, [this](QEvent* event) {
    chkCateTreeMouseDown(static_cast<QMouseEvent*>(event)->position().toPoint());
    return false;
  });
}

TfamCateToItemTree::~TfamCateToItemTree() {
  chkCateTree->clear();  // the nodes go before the categories they refer to
}

QTreeWidgetItem* TfamCateToItemTree::ClickedNode() const {
  return clickedNode_->Node();
}

void TfamCateToItemTree::BuildTree() {
  chkCateTree->clear();  // the remembered node goes with the nodes
  categories_ = std::make_unique<TDBObjectList>(true);
  SuspendedRepaint suspended(chkCateTree);
  TCategory loader(TSingleComm::Instance().GetConnPool());
  loader.LoadList("1=1", *categories_, -1);
  AddCategoryNodes(*categories_);
}

void TfamCateToItemTree::AddCategoryNodes(TDBObjectList& categories) {
  TItemManager& catalogue = TItemManager::Instance();
  for (int i = 0; i < categories.Count(); ++i) {
    auto* category = categories.ItemAs<TCategory>(i);
    QTreeWidgetItem* node = AddNode(nullptr, category->CateName, category, 2, 3);
    catalogue.FillCategory(category, 0);
    for (TBaseItem* item : category->Items())
      AddNode(node, item->ItemName, item, ItemImageIndex, ItemSelectedIndex);
  }
}

QTreeWidgetItem* TfamCateToItemTree::AddNode(QTreeWidgetItem* parent, const std::string& text,
                                             TBaseDBObject* object, int imageIndex,
                                             int selectedIndex) {
  auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(chkCateTree);
  node->setText(0, QtText::ToQ(text));
  TreeNodeData::SetObject(node, object);
  TreeNodeData::SetPictures(node, imageIndex, selectedIndex);
  node->setIcon(0, imgTree->NodeIcon(imageIndex, selectedIndex));
  return node;
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
  for (QTreeWidgetItem* at = chkCateTree->topLevelItemCount() ? chkCateTree->topLevelItem(0)
                                                              : nullptr;
       at && !node; at = TreeNodeData::NextInTree(chkCateTree, at)) {
    TBaseItem* shown = TreeNodeData::Level(at) == 1 ? ItemOf(at) : nullptr;
    if (shown && shown->ItemName == item->ItemName) node = at;
  }
  if (node) node->setText(0, QtText::ToQ(item->ItemName));
}

TBaseItem* TfamCateToItemTree::GetSelectedItem() const {
  return ItemOf(clickedNode_->Node());
}

void TfamCateToItemTree::chkCateTreeMouseDown(const QPoint& position) {
  if (chkCateTree->topLevelItemCount() == 0) return;
  QTreeWidgetItem* node = chkCateTree->itemAt(position);
  clickedNode_->Remember(TreeNodeData::Object(node) ? node : nullptr);
}
