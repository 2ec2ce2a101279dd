#pragma once

#include <cstddef>
#include <vector>

class TBaseDBObject;

/// Ordered list of persistent objects. By default it owns its entries: an
/// entry is freed when it is removed, when the list is cleared and when the
/// list is freed. A holder may switch ownership off (SetOwnsObjects(false)).
class TDBObjectList {
 public:
  using const_iterator = std::vector<TBaseDBObject*>::const_iterator;

  explicit TDBObjectList(bool ownsObjects = true) : ownsObjects_(ownsObjects) {}
  ~TDBObjectList();
  TDBObjectList(const TDBObjectList&) = delete;
  TDBObjectList& operator=(const TDBObjectList&) = delete;

  bool OwnsObjects() const { return ownsObjects_; }
  void SetOwnsObjects(bool owns) { ownsObjects_ = owns; }

  int Count() const { return static_cast<int>(items_.size()); }
  bool IsEmpty() const { return items_.empty(); }
  /// The entry at a 0-based index; outside the list raises Exception
  /// "List index out of bounds (%d)".
  TBaseDBObject* Items(int index) const;
  TBaseDBObject* operator[](int index) const { return Items(index); }
  /// The entry at `index` as a T (the caller knows the class it loaded).
  template <class T>
  T* ItemAs(int index) const {
    return static_cast<T*>(Items(index));
  }

  /// Appends and returns the new entry's index.
  int Add(TBaseDBObject* object);
  /// Index of the first entry that is `object`, or -1.
  int IndexOf(const TBaseDBObject* object) const;
  /// Takes the first occurrence out (freeing it when owning); its former
  /// index, or -1 when it was not listed.
  int Remove(TBaseDBObject* object);
  /// Takes the entry at `index` out (freeing it when owning).
  void Delete(int index);
  /// Takes the first occurrence out without freeing it; null when absent.
  TBaseDBObject* Extract(TBaseDBObject* object);
  /// Takes every entry out (freeing them when owning).
  void Clear();

  const_iterator begin() const { return items_.begin(); }
  const_iterator end() const { return items_.end(); }

 private:
  std::vector<TBaseDBObject*> items_;
  bool ownsObjects_;
};
