#pragma once

#include <cstdint>
#include <string>

/// The values of one TJItem row as a catalogue item carries them, plus the
/// two values the screens keep beside them (Remark, SampleTypeName). Kept
/// together so that a copy of an item copies them in one step.
struct TItemFields {
  std::string AbCustom;
  std::string AbForPY;
  std::string AbForWB;
  std::string AliasID;
  int32_t CateID = 0;
  std::string CateName;
  std::string ChargeType;
  int32_t CheckOrder = 0;
  int32_t DispOrder = 0;
  std::string HintForLower;
  std::string HintForUpper;
  bool IsHaveExamProcess = false;
  bool IsInstrument = false;
  bool IsInUse = false;
  bool IsRePorted = false;
  bool IsSecCheck = false;
  std::string ItemCode;
  /// Row key; 0 while the item is not stored.
  int32_t ItemID = 0;
  std::string ItemName;
  int32_t ItemType = 0;
  std::string ItemUnit;
  std::string LowerLimit;
  std::string Max;
  std::string Min;
  std::string NaturalResult;
  /// Not stored; the check set screen edits it.
  std::string Remark;
  int32_t ResultType = 0;
  int32_t SampleTypeID = 0;
  /// Not stored; filled by the screens or by Assign.
  std::string SampleTypeName;
  std::string Sex;
  std::string StandItemName;
  double UnitPrice = 0.0;
  std::string UpLimit;
  std::string ValueFormat;
  std::string ExcludeItems;
  int32_t SampleGroupID = 0;
};
