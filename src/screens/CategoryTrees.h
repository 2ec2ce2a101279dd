#pragma once

#include <cstdint>
#include <string>

class QTreeWidget;
class TBaseDBObject;
class TDBObjectList;
class TImageList;

/// The build the category trees share: every category as a top-level node
/// (pictures 2 and 3) and, under each, the catalogue's entries of one item
/// type in that category.
namespace CategoryTrees {

/// Loads every category into `categories` (which must outlive the nodes
/// that refer to them) and appends their nodes to `tree`, with repainting
/// suspended until the build ends, also when it fails. Entry nodes carry the
/// pictures `itemImage` and `itemSelected`; icons come from `images`.
void AddCategoryNodes(QTreeWidget* tree, TDBObjectList& categories, int32_t itemType,
                      const TImageList& images, int itemImage, int itemSelected);

/// Selects the node of `entry` or, without one (a new entry, or one whose
/// row is gone), the first category node named `categoryName`: a rebuilt
/// tree has no selection, and the windows take a new entry's category from
/// it. Nothing is selected when neither node exists.
void SelectEntryOrCategory(QTreeWidget* tree, const TBaseDBObject* entry,
                           const std::string& categoryName);

}  // namespace CategoryTrees
