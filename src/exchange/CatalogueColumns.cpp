#include "CatalogueColumns.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "Exceptions.h"
#include "TBaseItem.h"
#include "TCategory.h"
#include "UserRights.h"

namespace CatalogueColumns {

namespace {

struct THeading {
  const char* Chinese;
  const char* English;
};

// In the order of Column.
constexpr THeading kHeadings[Count] = {
    {"种类", "Kind"},
    {"编号", "Code"},
    {"名称", "Name"},
    {"类别", "Category"},
    {"单价", "Price"},
    {"单位", "Unit"},
    {"拼音码", "PinyinCode"},
    {"五笔码", "WubiCode"},
    {"自定义码", "CustomCode"},
    {"别名", "Alias"},
    {"标准名称", "StandardName"},
    {"性别", "Sex"},
    {"结果类型", "ResultType"},
    {"下限", "LowerLimit"},
    {"上限", "UpperLimit"},
    {"最小值", "Min"},
    {"最大值", "Max"},
    {"正常结果", "NormalResult"},
    {"偏低提示", "LowHint"},
    {"偏高提示", "HighHint"},
    {"收费类型", "ChargeType"},
    {"数值格式", "ValueFormat"},
    {"检查顺序", "CheckOrder"},
    {"显示顺序", "DisplayOrder"},
    {"在用", "InUse"},
    {"报告", "Reported"},
    {"复查", "SecondCheck"},
    {"检查过程", "ExamProcess"},
    {"仪器", "Instrument"},
    {"报告中显示", "ShownInReport"},
    {"样本类型", "SampleType"},
    {"试管", "Tube"},
    {"成员", "Members"},
    {"排斥项目", "Exclusions"},
    {"类别类型", "CategoryType"},
    {"类别说明", "CategoryInfo"},
    {"备注", "Remark"},
};

constexpr std::pair<TEntryKind, const char*> kKinds[] = {
    {TEntryKind::SampleType, "样本类型"}, {TEntryKind::Tube, "试管"},
    {TEntryKind::Category, "类别"},       {TEntryKind::Item, "项目"},
    {TEntryKind::CombItem, "组合项目"},   {TEntryKind::CheckSet, "套餐"},
};

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SameAscii(const std::string& a, const char* b) {
  return SameTextAscii(a, b);
}

std::string IntText(int value) {
  return std::to_string(value);
}

// A text column of TItemFields.
TItemColumn Text(int column, std::string TItemFields::*member) {
  return {column, [member](const TItemFields& f) { return f.*member; },
          [member](TItemFields& f, const std::string& v) { f.*member = v; }};
}
TItemColumn Integer(int column, int32_t TItemFields::*member) {
  return {column, [member](const TItemFields& f) { return IntText(f.*member); },
          [member, column](TItemFields& f, const std::string& v) {
            f.*member = ParseInteger(v, column);
          }};
}
TItemColumn Flag(int column, bool TItemFields::*member) {
  return {
      column, [member](const TItemFields& f) { return FlagText(f.*member); },
      [member, column](TItemFields& f, const std::string& v) { f.*member = ParseFlag(v, column); }};
}

}  // namespace

const char* ChineseName(int column) {
  return kHeadings[column].Chinese;
}
const char* EnglishName(int column) {
  return kHeadings[column].English;
}

int Find(const std::string& heading) {
  const std::string name = Trimmed(heading);
  for (int c = 0; c < Count; ++c)
    if (name == kHeadings[c].Chinese || SameAscii(name, kHeadings[c].English)) return c;
  return -1;
}

const char* KindName(TEntryKind kind) {
  for (const auto& [k, name] : kKinds)
    if (k == kind) return name;
  return "";
}

std::optional<TEntryKind> KindOf(const std::string& text) {
  const std::string name = Trimmed(text);
  if (name.empty()) return TEntryKind::Unnamed;
  for (const auto& [kind, kindName] : kKinds)
    if (name == kindName) return kind;
  return std::nullopt;
}

const std::vector<TItemColumn>& ItemColumns() {
  static const std::vector<TItemColumn> columns = {
      Text(Name, &TItemFields::ItemName),
      {Price, [](const TItemFields& f) { return PriceText(f.UnitPrice); },
       [](TItemFields& f, const std::string& v) { f.UnitPrice = ParsePrice(v); }},
      Text(Unit, &TItemFields::ItemUnit),
      Text(PinyinCode, &TItemFields::AbForPY),
      Text(WubiCode, &TItemFields::AbForWB),
      Text(CustomCode, &TItemFields::AbCustom),
      Text(Alias, &TItemFields::AliasID),
      Text(StandardName, &TItemFields::StandItemName),
      Text(Sex, &TItemFields::Sex),
      Integer(ResultType, &TItemFields::ResultType),
      Text(LowerLimit, &TItemFields::LowerLimit),
      Text(UpperLimit, &TItemFields::UpLimit),
      Text(Min, &TItemFields::Min),
      Text(Max, &TItemFields::Max),
      Text(NormalResult, &TItemFields::NaturalResult),
      Text(LowHint, &TItemFields::HintForLower),
      Text(HighHint, &TItemFields::HintForUpper),
      Text(ChargeType, &TItemFields::ChargeType),
      Text(ValueFormat, &TItemFields::ValueFormat),
      Integer(CheckOrder, &TItemFields::CheckOrder),
      Integer(DisplayOrder, &TItemFields::DispOrder),
      Flag(InUse, &TItemFields::IsInUse),
      Flag(Reported, &TItemFields::IsRePorted),
      Flag(SecondCheck, &TItemFields::IsSecCheck),
      Flag(ExamProcess, &TItemFields::IsHaveExamProcess),
      Flag(Instrument, &TItemFields::IsInstrument),
  };
  return columns;
}

const std::vector<TCategoryColumn>& CategoryColumns() {
  static const std::vector<TCategoryColumn> columns = {
      {Code, [](const TCategoryFields& f) { return f.CateCode; },
       [](TCategoryFields& f, const std::string& v) { f.CateCode = v; }},
      {CategoryInfo, [](const TCategoryFields& f) { return f.CateInfo; },
       [](TCategoryFields& f, const std::string& v) { f.CateInfo = v; }},
      {CategoryType, [](const TCategoryFields& f) { return IntText(f.CateType); },
       [](TCategoryFields& f, const std::string& v) {
         f.CateType = ParseInteger(v, CategoryType);
       }},
      {DisplayOrder, [](const TCategoryFields& f) { return IntText(f.DispOrder); },
       [](TCategoryFields& f, const std::string& v) {
         f.DispOrder = ParseInteger(v, DisplayOrder);
       }},
      {ShownInReport, [](const TCategoryFields& f) { return FlagText(f.IsDispInRep); },
       [](TCategoryFields& f, const std::string& v) {
         f.IsDispInRep = ParseFlag(v, ShownInReport);
       }},
      {InUse, [](const TCategoryFields& f) { return FlagText(f.IsInUse); },
       [](TCategoryFields& f, const std::string& v) { f.IsInUse = ParseFlag(v, InUse); }},
      {Remark, [](const TCategoryFields& f) { return f.Remark; },
       [](TCategoryFields& f, const std::string& v) { f.Remark = v; }},
  };
  return columns;
}

std::string PriceText(double price) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", price);
  return text;
}

std::string FlagText(bool flag) {
  return flag ? "1" : "0";
}

double ParsePrice(const std::string& text) {
  const std::string value = Trimmed(text);
  if (value.empty()) return 0.0;
  char* end = nullptr;
  errno = 0;
  const double price = std::strtod(value.c_str(), &end);
  if (*end != '\0' || errno == ERANGE || !std::isfinite(price))
    throw ETJItemException(FormatText("单价[%s]不是数字！", {value}));
  return price;
}

int ParseInteger(const std::string& text, int column) {
  const std::string value = Trimmed(text);
  if (value.empty()) return 0;
  char* end = nullptr;
  errno = 0;
  const long number = std::strtol(value.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE || number < INT32_MIN || number > INT32_MAX)
    throw ETJItemException(FormatText("%s[%s]不是整数！", {ChineseName(column), value}));
  return static_cast<int>(number);
}

bool ParseFlag(const std::string& text, int column) {
  const std::string value = Trimmed(text);
  if (value.empty() || value == "0" || value == "否" || SameAscii(value, "false")) return false;
  if (value == "1" || value == "是" || SameAscii(value, "true")) return true;
  throw ETJItemException(FormatText("%s[%s]应为1或0！", {ChineseName(column), value}));
}

std::string CodesCell(const std::string& codesText) {
  std::string cell;
  for (const std::string& code : TBaseItem::CodesOf(codesText)) {
    if (!cell.empty()) cell += ';';
    cell += code;
  }
  return cell;
}

std::string CodesText(const std::vector<std::string>& codes) {
  std::string text;
  for (const std::string& code : codes) text += code + ";";
  return text;
}

}  // namespace CatalogueColumns
