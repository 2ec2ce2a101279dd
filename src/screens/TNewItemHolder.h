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
  /// Shows `item` through `show` (it makes `item` the frame's entry and
  /// fills the fields), then lets a replaced new item go. When `show` fails,
  /// `back` puts the frame back on the entry it showed before — still alive,
  /// since nothing was freed yet — and the error propagates: no frame is
  /// left pointing at a freed entry.
  template <class ShowFn, class BackFn>
  void Show(const TBaseItem* item, ShowFn show, BackFn back) {
    try {
      show();
    } catch (...) {
      try {
        back();
      } catch (...) {
        // The fields may stay half filled; the frame's entry is right, and
        // the first error is the one to report.
      }
      throw;
    }
    Showing(item);
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
