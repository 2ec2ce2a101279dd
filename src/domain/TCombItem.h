#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "TBaseItem.h"

/// A combination item as the exclusion list offers it: its code and name.
struct TCombItemChoice {
  std::string ItemCode;
  std::string ItemName;
};

/// A combination item (ItemType 1): examination items examined and charged
/// together. A new one has ItemType 0 like every item; the combination item
/// screen sets 1 before saving.
/// It adds nothing to TBaseItem: the kind is only the value of ItemType.
class TCombItem : public TBaseItem {
 public:
  TCombItem();
  explicit TCombItem(TBaseDBConnPool* pool);
  TESMIRA_DBOBJECT_FACTORIES(TCombItem)

  /// The combination items of category `cateID` other than the one coded
  /// `code` (every one of them for an empty code), in the order the database
  /// returns them: what a combination item may exclude.
  static std::vector<TCombItemChoice> ExclusionCandidates(const std::string& code, int32_t cateID);
  /// The codes an exclusion text ("000063;000064;") names. A code counts
  /// only as a whole entry: "000063" is not named by "1000063;".
  static std::unordered_set<std::string> ExcludedCodes(const std::string& exclusionText);

  /// Every entry a check set may hold (the rows that are no check set),
  /// appended to `list` in the catalogue's order.
  void LoadSetMemberCandidates(TDBObjectList& list) { LoadList("ItemType<>2", list, -1); }
};
