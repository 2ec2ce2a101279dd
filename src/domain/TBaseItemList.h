#pragma once

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

class TBaseItem;
class TCodeIndex;

/// Ordered list of catalogue items that does not own them (the catalogue
/// does). Each object is listed at most once. Short lists are scanned; once a
/// list grows past a few dozen entries, membership tests and lookups by code
/// use hash indexes that are built on first use and kept in step with every
/// change, so the catalogue and long reverse-link lists stay cheap.
class TBaseItemList {
 public:
  using const_iterator = std::vector<TBaseItem*>::const_iterator;

  TBaseItemList();
  ~TBaseItemList();
  TBaseItemList(const TBaseItemList&) = delete;
  TBaseItemList& operator=(const TBaseItemList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  bool IsEmpty() const { return items_.empty(); }
  /// The entry at a 0-based index; outside the list raises Exception
  /// "List index out of bounds (%d)".
  TBaseItem* At(int index) const;
  TBaseItem* operator[](int index) const { return At(index); }

  bool Contains(const TBaseItem* item) const;
  int IndexOf(const TBaseItem* item) const;
  /// Appends `item` unless it is null or already listed; true when appended.
  bool Add(TBaseItem* item);
  /// Takes `item` out (not freed); true when it was listed.
  bool Remove(TBaseItem* item);
  /// Takes every entry out (none is freed).
  void Clear();
  /// Makes room for `count` entries (a hint; nothing else changes).
  void Reserve(int count) { items_.reserve(static_cast<size_t>(count)); }
  /// Makes this list hold the entries of `other`, in its order.
  void CopyFrom(const TBaseItemList& other);
  /// The first entry, in list order, whose ItemCode equals `code` exactly, or
  /// null.
  TBaseItem* FindByCode(const std::string& code) const;
  /// FindByCode for each of `codes`, in order (null where none). The
  /// entries are looked up first and read afterwards, so that their memory
  /// is fetched side by side instead of one entry after the other.
  std::vector<TBaseItem*> FindByCodes(const std::vector<std::string>& codes) const;

  const_iterator begin() const { return items_.begin(); }
  const_iterator end() const { return items_.end(); }

 private:
  bool Indexed() const;
  void BuildMembers() const;
  void BuildCodes() const;
  void UnlinkCode(TBaseItem* item);

  std::vector<TBaseItem*> items_;
  // Built lazily for long lists; null while the list is scanned.
  mutable std::unique_ptr<std::unordered_set<const TBaseItem*>> members_;
  mutable std::unique_ptr<TCodeIndex> codes_;
};
