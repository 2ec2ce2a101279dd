#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct TItemFields;
struct TCategoryFields;

/// The kinds of entry a catalogue file holds, in the order an import
/// applies them: what a later kind names must exist first.
enum class TEntryKind { SampleType, Tube, Category, Item, CombItem, CheckSet, Unnamed };

/// The columns of a catalogue file: named in the first row in Chinese, as
/// the windows label them, or in English. Texts are GBK.
namespace CatalogueColumns {

enum Column : int {
  Kind,
  Code,
  Name,
  Category,
  Price,
  Unit,
  PinyinCode,
  WubiCode,
  CustomCode,
  Alias,
  StandardName,
  Sex,
  ResultType,
  LowerLimit,
  UpperLimit,
  Min,
  Max,
  NormalResult,
  LowHint,
  HighHint,
  ChargeType,
  ValueFormat,
  CheckOrder,
  DisplayOrder,
  InUse,
  Reported,
  SecondCheck,
  ExamProcess,
  Instrument,
  ShownInReport,
  SampleType,
  Tube,
  Members,
  Exclusions,
  CategoryType,
  CategoryInfo,
  Remark,
  Count
};

/// The Chinese heading (what an export writes) and the English one.
const char* ChineseName(int column);
const char* EnglishName(int column);
/// The column a heading names (either language, blanks trimmed), or -1.
int Find(const std::string& heading);

/// The kind's name in a file ("项目", ...) and back; "" is Unnamed (a row
/// that only updates an entry found by its code, as a price list does).
const char* KindName(TEntryKind kind);
std::optional<TEntryKind> KindOf(const std::string& text);

/// A plain column of an item row: its text from the fields, and the
/// fields from a text (raising ETJItemException on a value that is no
/// number where one is needed).
struct TItemColumn {
  int ColumnId;
  std::function<std::string(const TItemFields&)> Get;
  std::function<void(TItemFields&, const std::string&)> Set;
};
const std::vector<TItemColumn>& ItemColumns();

struct TCategoryColumn {
  int ColumnId;
  std::function<std::string(const TCategoryFields&)> Get;
  std::function<void(TCategoryFields&, const std::string&)> Set;
};
const std::vector<TCategoryColumn>& CategoryColumns();

/// Texts as a file writes them: a price with two decimals, a flag as 1 or 0.
std::string PriceText(double price);
std::string FlagText(bool flag);
/// Read back; ETJItemException naming the column for text that is none.
double ParsePrice(const std::string& text);
int ParseInteger(const std::string& text, int column);
bool ParseFlag(const std::string& text, int column);

/// "a;b;" <-> "a;b": member and exclusion codes as a cell holds them.
std::string CodesCell(const std::string& codesText);
std::string CodesText(const std::vector<std::string>& codes);

}  // namespace CatalogueColumns
