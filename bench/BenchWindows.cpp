#include "BenchWindows.h"

#include <QTreeWidget>
#include <cstdio>

namespace BenchWindows {

int TreeNodes(const QWidget* frame) {
  const auto* tree = frame->findChild<QTreeWidget*>();
  int nodes = 0;
  if (tree)
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
      nodes += 1 + tree->topLevelItem(i)->childCount();
  return nodes;
}

void BenchApplication::ShowException(const std::exception& error) {
  std::fprintf(stderr, "%s\n", error.what());
}

}  // namespace BenchWindows
