#include "StoredValues.h"

#include <bit>
#include <functional>
#include <vector>

#include "Format.h"
#include "TCategory.h"
#include "TItemFields.h"
#include "TSampleGroup.h"

namespace StoredValues {

// A word at a time: a byte-wise hash over the 35 columns of every row took
// a twentieth of a catalogue load. Each step is one-to-one in the hash so
// far, so a value changed in one place always changes the stamp.
void TStamp::Word(uint64_t word) {
  hash_ = std::rotl((hash_ ^ word) * 1099511628211ull, 29);
}

TStamp& TStamp::Add(std::string_view text) {
  size_t at = 0;
  for (; at + 8 <= text.size(); at += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + at, 8);
    Word(word);
  }
  uint64_t tail = 0;
  if (at < text.size()) std::memcpy(&tail, text.data() + at, text.size() - at);
  Word(tail);
  Word(text.size());  // so that ("ab", "c") and ("a", "bc") differ
  return *this;
}

TStamp& TStamp::Add(int64_t number) {
  Word(static_cast<uint64_t>(number));
  return *this;
}

TStamp& TStamp::Add(double number) {
  int64_t bits = 0;
  static_assert(sizeof bits == sizeof number);
  std::memcpy(&bits, &number, sizeof bits);
  return Add(bits);
}

uint64_t Of(const TItemFields& v, const std::string& itemsString) {
  TStamp stamp;
  for (const std::string* text :
       {&v.AbCustom,   &v.AbForPY,       &v.AbForWB,      &v.AliasID,     &v.CateName,
        &v.ChargeType, &v.HintForLower,  &v.HintForUpper, &v.ItemCode,    &v.ItemName,
        &v.ItemUnit,   &v.LowerLimit,    &v.Max,          &v.Min,         &v.NaturalResult,
        &v.Sex,        &v.StandItemName, &v.UpLimit,      &v.ValueFormat, &v.ExcludeItems,
        &itemsString})
    stamp.Add(*text);
  for (int64_t number :
       {int64_t{v.CateID}, int64_t{v.CheckOrder}, int64_t{v.DispOrder}, int64_t{v.ItemID},
        int64_t{v.ItemType}, int64_t{v.ResultType}, int64_t{v.SampleTypeID},
        int64_t{v.SampleGroupID}, int64_t{v.IsHaveExamProcess}, int64_t{v.IsInstrument},
        int64_t{v.IsInUse}, int64_t{v.IsRePorted}, int64_t{v.IsSecCheck}})
    stamp.Add(number);
  return stamp.Add(v.UnitPrice).Value();
}

uint64_t Of(const TCategoryFields& v) {
  TStamp stamp;
  for (const std::string* text : {&v.CateCode, &v.CateName, &v.CateInfo, &v.ModifiedBy, &v.Remark})
    stamp.Add(*text);
  stamp.Add(v.ModifiedDate.FormatDate());
  for (int64_t number : {int64_t{v.CateID.value_or(0)}, int64_t{v.CateType}, int64_t{v.DispOrder},
                         int64_t{v.IsDispInRep}, int64_t{v.IsInUse}})
    stamp.Add(number);
  return stamp.Value();
}

uint64_t Of(const TSampleGroupFields& v) {
  return TStamp().Add(int64_t{v.GroupID}).Add(int64_t{v.SampleTypeID}).Add(v.GroupName).Value();
}

namespace {

// The fields a person edits in the windows, as the windows label them.
struct Shown {
  const char* label;
  std::function<std::string(const TItemFields&, const std::string& items)> text;
};

// Prices as the windows show them: two decimals.
std::string Number(double value) {
  return FormatText("%f", {value});
}

const std::vector<Shown>& ShownFields() {
  static const std::vector<Shown> fields = {
      {"名称", [](const TItemFields& v, const std::string&) { return v.ItemName; }},
      {"类别", [](const TItemFields& v, const std::string&) { return v.CateName; }},
      {"单价", [](const TItemFields& v, const std::string&) { return Number(v.UnitPrice); }},
      {"单位", [](const TItemFields& v, const std::string&) { return v.ItemUnit; }},
      {"显示顺序",
       [](const TItemFields& v, const std::string&) { return std::to_string(v.DispOrder); }},
      {"适用性别", [](const TItemFields& v, const std::string&) { return v.Sex; }},
      {"下限", [](const TItemFields& v, const std::string&) { return v.LowerLimit; }},
      {"上限", [](const TItemFields& v, const std::string&) { return v.UpLimit; }},
      {"拼音码", [](const TItemFields& v, const std::string&) { return v.AbForPY; }},
      {"收费类型", [](const TItemFields& v, const std::string&) { return v.ChargeType; }},
      {"组成项目", [](const TItemFields&, const std::string& items) { return items; }},
      {"排斥项目", [](const TItemFields& v, const std::string&) { return v.ExcludeItems; }},
      {"试管",
       [](const TItemFields& v, const std::string&) { return std::to_string(v.SampleGroupID); }},
      {"启用", [](const TItemFields& v,
                  const std::string&) { return std::string(v.IsInUse ? "是" : "否"); }},
  };
  return fields;
}

}  // namespace

std::string Unsaved(const TItemFields& typed, const std::string& typedItems,
                    const TItemFields& stored, const std::string& storedItems) {
  std::string lines;
  for (const Shown& field : ShownFields()) {
    const std::string mine = field.text(typed, typedItems);
    const std::string now = field.text(stored, storedItems);
    if (mine == now) continue;
    lines += FormatText("%s：%s（现在为 %s）\r\n", {field.label, mine, now});
  }
  return lines;
}

}  // namespace StoredValues
