#pragma once

#include <string>
#include <vector>

/// The names of the entries that use another one, put into one line of a
/// refusal: "被组合项目“肝功三项”、“血脂四项”、套餐“入职体检套餐”使用".
class EntryUsers {
 public:
  /// `itemType` 1 (combination item) or 2 (check set) sorts the name under
  /// its kind; 0 (an examination item) under 项目.
  void Add(int itemType, const std::string& name);
  bool Empty() const { return count_ == 0; }
  /// The line; at most five names of each kind are named, then "等N项".
  std::string Line() const;

 private:
  std::vector<std::string> names_[3];
  int count_ = 0;
};
