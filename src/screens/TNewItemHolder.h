#pragma once

#include <memory>

class TBaseDBConnPool;
class TBaseItem;

/// The new, unsaved item a detail frame edits belongs to the frame: made by
/// Make, kept while it is the edited item, freed when another item is shown,
/// handed over when the catalogue takes it (its first save).
template <class NewItem>
class TNewItemHolder {
 public:
  /// A new item on `pool`, held until it is shown or replaced.
  NewItem* Make(TBaseDBConnPool* pool) {
    made_ = std::make_unique<NewItem>(pool);
    return made_.get();
  }
  /// `item` becomes the edited item: the new item made last is kept while
  /// it is edited; showing any other item frees the new one.
  void Showing(const TBaseItem* item) {
    if (made_ && item == made_.get())
      shown_ = std::move(made_);
    else if (item != shown_.get())
      shown_.reset();
  }
  /// Gives the shown new item up (the catalogue took it, or it is kept
  /// elsewhere); null when `item` is not the new item held.
  NewItem* HandOver(const TBaseItem* item) {
    return item && item == shown_.get() ? shown_.release() : nullptr;
  }

 private:
  std::unique_ptr<NewItem> shown_;  // the edited item, while it is a new one
  std::unique_ptr<NewItem> made_;   // made by Make, not yet shown
};
