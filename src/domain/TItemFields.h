#pragma once

#include <cstdint>
#include <string>

/// The values of one TJItem row as a catalogue item carries them, plus the
/// two values the screens keep beside them (Remark, SampleTypeName). Kept
/// together so that a copy of an item copies them in one step.
struct TItemFields {
  // Texts first, then numbers and flags: in column order the numbers and
  // flags between the texts left 20 bytes of padding in every catalogue
  // entry.
  std::string AbCustom;
  std::string AbForPY;
  std::string AbForWB;
  std::string AliasID;
  std::string CateName;
  std::string ChargeType;
  std::string HintForLower;
  std::string HintForUpper;
  std::string ItemCode;
  std::string ItemName;
  std::string ItemUnit;
  std::string LowerLimit;
  std::string Max;
  std::string Min;
  std::string NaturalResult;
  /// Not stored; the check set screen edits it.
  std::string Remark;
  /// Not stored; filled by the screens or by Assign.
  std::string SampleTypeName;
  std::string Sex;
  std::string StandItemName;
  std::string UpLimit;
  std::string ValueFormat;
  std::string ExcludeItems;
  double UnitPrice = 0.0;
  int32_t CateID = 0;
  int32_t CheckOrder = 0;
  int32_t DispOrder = 0;
  /// Row key; 0 while the item is not stored.
  int32_t ItemID = 0;
  int32_t ItemType = 0;
  int32_t ResultType = 0;
  int32_t SampleTypeID = 0;
  int32_t SampleGroupID = 0;
  bool IsHaveExamProcess = false;
  bool IsInstrument = false;
  bool IsInUse = false;
  bool IsRePorted = false;
  bool IsSecCheck = false;
};
