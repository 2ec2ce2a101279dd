#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TBaseItem;

/// The entries of a long item list by code: an open-addressing table over
/// one array of codes, built without an allocation per code (the catalogue
/// indexes 100 000 codes at once). A code keeps its place once indexed; a
/// bucket emptied by removals simply finds nothing.
class TCodeIndex {
 public:
  /// The entries of one code in list order. Codes are nearly always unique,
  /// so the first entry is kept inline and only repeats take a vector.
  struct Bucket {
    TBaseItem* first = nullptr;
    std::vector<TBaseItem*> more;
    void Append(TBaseItem* item);
    /// Takes `item` out; false when it is not in the bucket.
    bool Erase(TBaseItem* item);
  };

  explicit TCodeIndex(size_t expectedCodes);

  /// The bucket of `code`, made empty when the code is new.
  Bucket& Insert(const std::string& code);
  /// The bucket of `code`, or null when the code was never indexed.
  Bucket* Find(std::string_view code);

 private:
  struct Entry {
    std::string code;
    size_t hash;
    Bucket bucket;
  };

  // The slot holding `code`, or the empty slot where it would go.
  size_t SlotOf(std::string_view code, size_t hash) const;
  void Rehash(size_t slots);

  std::vector<Entry> entries_;
  std::vector<uint32_t> slots_;  // entry number + 1; 0 for an empty slot
  size_t mask_ = 0;
};
