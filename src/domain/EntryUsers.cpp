#include "EntryUsers.h"

#include "Format.h"

namespace {

constexpr size_t kNamed = 5;

std::string Names(const std::vector<std::string>& names) {
  std::string text;
  for (size_t i = 0; i < names.size() && i < kNamed; ++i) {
    if (i > 0) text += "、";
    text += "“" + names[i] + "”";
  }
  if (names.size() > kNamed) text += FormatText("等%d项", {static_cast<int>(names.size())});
  return text;
}

}  // namespace

void EntryUsers::Add(int itemType, const std::string& name) {
  names_[itemType == 1 || itemType == 2 ? itemType : 0].push_back(name);
  ++count_;
}

std::string EntryUsers::Line() const {
  static const char* const kinds[3] = {"项目", "组合项目", "套餐"};
  std::string line;
  for (int kind : {1, 2, 0}) {
    if (names_[kind].empty()) continue;
    if (!line.empty()) line += "、";
    line += std::string(kinds[kind]) + Names(names_[kind]);
  }
  return "被" + line + "使用";
}
