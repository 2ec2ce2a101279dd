#include "TRememberedNode.h"

#include <QAbstractItemModel>
#include <QTreeWidget>

TRememberedNode::TRememberedNode(QTreeWidget* tree) : QObject(tree), tree_(tree) {
  QAbstractItemModel* model = tree->model();
  connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
          &TRememberedNode::ForgetIfRemoved);
  connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &TRememberedNode::Forget);
}

void TRememberedNode::ForgetIfRemoved(const QModelIndex& parent, int first, int last) {
  // Removing a node removes everything below it as well.
  for (QTreeWidgetItem* at = node_; at; at = at->parent()) {
    const QModelIndex index = tree_->indexFromItem(at);
    if (index.parent() == parent && index.row() >= first && index.row() <= last) {
      node_ = nullptr;
      return;
    }
  }
}
