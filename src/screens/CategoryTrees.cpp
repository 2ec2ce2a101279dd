#include "CategoryTrees.h"

#include <QTreeWidget>

#include "DomainObjects.h"
#include "QtText.h"
#include "TCategory.h"
#include "TDBObjectList.h"
#include "TItemManager.h"
#include "TreeNodeData.h"

namespace {

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

namespace CategoryTrees {

void AddCategoryNodes(QTreeWidget* tree, TDBObjectList& categories, int32_t itemType,
                      const TImageList& images, int itemImage, int itemSelected) {
  SuspendedRepaint suspended(tree);
  TCategory(DomainObjects::SharedPool()).LoadAll(categories);
  TItemManager::Instance().FillCategories(categories, itemType);
  for (int i = 0; i < categories.Count(); ++i) {
    auto* category = categories.ItemAs<TCategory>(i);
    QTreeWidgetItem* node = TreeNodeData::AddNode(tree, nullptr, QtText::ToQ(category->CateName),
                                                  category, 2, 3, images);
    // The items join the tree together: one insertion for the view, not
    // one per item.
    QList<QTreeWidgetItem*> children;
    children.reserve(category->Items().Count());
    for (TBaseItem* item : category->Items())
      children.append(TreeNodeData::NewNode(QtText::ToQ(item->ItemName), item, itemImage,
                                            itemSelected, images));
    node->addChildren(children);
  }
}

void SelectEntryOrCategory(QTreeWidget* tree, const TBaseDBObject* entry,
                           const std::string& categoryName) {
  QTreeWidgetItem* node = entry ? TreeNodeData::FindByObject(tree, entry) : nullptr;
  const QString category = QtText::ToQ(categoryName);
  if (!node)
    node = TreeNodeData::FindNode(tree, [&category](const QTreeWidgetItem* at) {
      return TreeNodeData::Level(at) == 0 && at->text(0) == category;
    });
  if (node) tree->setCurrentItem(node);
}

}  // namespace CategoryTrees
