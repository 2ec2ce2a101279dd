#pragma once

#include <QObject>

class QModelIndex;
class QTreeWidget;
class QTreeWidgetItem;

/// A node of a tree remembered between events (the node pressed last). It
/// forgets the node as soon as the node, or a node above it, leaves the
/// tree (deleted, taken out) or the tree is cleared, however that happens:
/// a frame's own code or the window working on the tree's nodes directly.
/// So it never names a freed node. It belongs to the tree.
class TRememberedNode : public QObject {
  Q_OBJECT
 public:
  explicit TRememberedNode(QTreeWidget* tree);

  QTreeWidgetItem* Node() const { return node_; }
  void Remember(QTreeWidgetItem* node) { node_ = node; }
  void Forget() { node_ = nullptr; }

 private:
  void ForgetIfRemoved(const QModelIndex& parent, int first, int last);

  QTreeWidget* tree_;
  QTreeWidgetItem* node_ = nullptr;
};
