#include "TCodeIndex.h"

#include <algorithm>
#include <functional>

void TCodeIndex::Bucket::Append(TBaseItem* item) {
  if (!first)
    first = item;
  else
    more.push_back(item);
}

bool TCodeIndex::Bucket::Erase(TBaseItem* item) {
  if (first == item) {
    if (more.empty()) {
      first = nullptr;
    } else {
      first = more.front();
      more.erase(more.begin());
    }
    return true;
  }
  auto it = std::find(more.begin(), more.end(), item);
  if (it == more.end()) return false;
  more.erase(it);
  return true;
}

namespace {

// A power of two with room for twice `codes` (at most half the slots full,
// so probes stay short).
size_t SlotsFor(size_t codes) {
  size_t slots = 16;
  while (slots < 2 * codes) slots *= 2;
  return slots;
}

}  // namespace

TCodeIndex::TCodeIndex(size_t expectedCodes) {
  entries_.reserve(expectedCodes);
  Rehash(SlotsFor(expectedCodes));
}

size_t TCodeIndex::SlotOf(std::string_view code, size_t hash) const {
  for (size_t slot = hash & mask_;; slot = (slot + 1) & mask_) {
    const uint32_t entry = slots_[slot];
    if (entry == 0) return slot;
    const Entry& candidate = entries_[entry - 1];
    if (candidate.hash == hash && candidate.code == code) return slot;
  }
}

TCodeIndex::Bucket& TCodeIndex::Insert(const std::string& code) {
  const size_t hash = std::hash<std::string_view>()(code);
  size_t slot = SlotOf(code, hash);
  if (slots_[slot] != 0) return entries_[slots_[slot] - 1].bucket;
  if (2 * (entries_.size() + 1) > slots_.size()) {
    Rehash(slots_.size() * 2);
    slot = SlotOf(code, hash);
  }
  entries_.push_back(Entry{code, hash, Bucket()});
  slots_[slot] = static_cast<uint32_t>(entries_.size());
  return entries_.back().bucket;
}

TCodeIndex::Bucket* TCodeIndex::Find(std::string_view code) {
  const uint32_t entry = slots_[SlotOf(code, std::hash<std::string_view>()(code))];
  return entry == 0 ? nullptr : &entries_[entry - 1].bucket;
}

void TCodeIndex::Rehash(size_t slots) {
  slots_.assign(slots, 0);
  mask_ = slots - 1;
  for (size_t i = 0; i < entries_.size(); ++i) {
    size_t slot = entries_[i].hash & mask_;
    while (slots_[slot] != 0) slot = (slot + 1) & mask_;
    slots_[slot] = static_cast<uint32_t>(i + 1);
  }
}
