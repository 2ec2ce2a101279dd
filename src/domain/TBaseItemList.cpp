#include "TBaseItemList.h"

#include <algorithm>

#include "Exceptions.h"
#include "TBaseItem.h"
#include "TCodeIndex.h"

namespace {
// Below this many entries a scan is cheaper than keeping hash indexes (and
// the thousands of short member lists of a catalogue stay small).
constexpr size_t kIndexThreshold = 32;
}  // namespace

TBaseItemList::TBaseItemList() = default;
TBaseItemList::~TBaseItemList() = default;

TBaseItem* TBaseItemList::At(int index) const {
  if (index < 0 || index >= Count()) throw Exception("List index out of bounds (%d)", {index});
  return items_[index];
}

bool TBaseItemList::Indexed() const {
  return items_.size() >= kIndexThreshold;
}

void TBaseItemList::BuildMembers() const {
  members_ = std::make_unique<std::unordered_set<const TBaseItem*>>(items_.begin(), items_.end());
}

void TBaseItemList::BuildCodes() const {
  codes_ = std::make_unique<TCodeIndex>(items_.size());
  for (TBaseItem* item : items_) codes_->Insert(item->ItemCode).Append(item);
}

bool TBaseItemList::Contains(const TBaseItem* item) const {
  if (!Indexed()) return std::find(items_.begin(), items_.end(), item) != items_.end();
  if (!members_) BuildMembers();
  return members_->count(item) != 0;
}

int TBaseItemList::IndexOf(const TBaseItem* item) const {
  if (Indexed() && !Contains(item)) return -1;
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

bool TBaseItemList::Add(TBaseItem* item) {
  if (!item || Contains(item)) return false;
  items_.push_back(item);
  if (members_) members_->insert(item);
  if (codes_) codes_->Insert(item->ItemCode).Append(item);
  return true;
}

bool TBaseItemList::Remove(TBaseItem* item) {
  const int index = IndexOf(item);
  if (index < 0) return false;
  items_.erase(items_.begin() + index);
  if (members_) members_->erase(item);
  if (codes_) UnlinkCode(item);
  if (!Indexed()) {
    members_.reset();
    codes_.reset();
  }
  return true;
}

void TBaseItemList::UnlinkCode(TBaseItem* item) {
  TCodeIndex::Bucket* bucket = codes_->Find(item->ItemCode);
  if (bucket && bucket->Erase(item)) return;
  // The item's code changed after it was listed: the index is rebuilt on the
  // next lookup.
  codes_.reset();
}

void TBaseItemList::Clear() {
  items_.clear();
  members_.reset();
  codes_.reset();
}

void TBaseItemList::CopyFrom(const TBaseItemList& other) {
  if (&other == this) return;
  Clear();
  items_ = other.items_;
}

TBaseItem* TBaseItemList::FindByCode(const std::string& code) const {
  if (!Indexed()) {
    for (TBaseItem* item : items_)
      if (item->ItemCode == code) return item;
    return nullptr;
  }
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (!codes_) BuildCodes();
    const TCodeIndex::Bucket* bucket = codes_->Find(code);
    if (!bucket || !bucket->first) return nullptr;
    TBaseItem* first = bucket->first;
    if (first->ItemCode == code) return first;
    // A listed item's code was changed in place: re-read every code.
    codes_.reset();
  }
  return nullptr;
}

std::vector<TBaseItem*> TBaseItemList::FindByCodes(const std::vector<std::string>& codes) const {
  std::vector<TBaseItem*> found(codes.size(), nullptr);
  if (!Indexed()) {
    for (size_t i = 0; i < codes.size(); ++i) found[i] = FindByCode(codes[i]);
    return found;
  }
  if (!codes_) BuildCodes();
  for (size_t i = 0; i < codes.size(); ++i) {
    const TCodeIndex::Bucket* bucket = codes_->Find(codes[i]);
    if (!bucket || !bucket->first) continue;
    found[i] = bucket->first;
    __builtin_prefetch(found[i]);
  }
  // An entry whose code was changed in place after it was indexed is looked
  // up again (FindByCode re-reads every code).
  for (size_t i = 0; i < codes.size(); ++i)
    if (found[i] && found[i]->ItemCode != codes[i]) found[i] = FindByCode(codes[i]);
  return found;
}
