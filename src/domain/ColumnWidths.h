#pragma once

#include <string>

/// Widths of the catalogue's text columns in GBK bytes, as both schemas
/// declare them. The windows limit their fields to these and the saves
/// refuse longer text, so no server truncates or refuses a row.
namespace ColumnWidths {

// TJCategories
inline constexpr int CateCode = 20;
inline constexpr int CateName = 100;
inline constexpr int CateInfo = 255;
inline constexpr int CateRemark = 500;
inline constexpr int ModifiedBy = 50;

// TJItem (items, combination items and check sets)
inline constexpr int ItemCode = 20;
inline constexpr int ItemName = 100;
inline constexpr int AbCustom = 50;
inline constexpr int AbForPY = 50;
inline constexpr int AbForWB = 50;
inline constexpr int AliasID = 50;
inline constexpr int HintForLower = 50;
inline constexpr int HintForUpper = 50;
inline constexpr int ItemUnit = 50;
inline constexpr int LowerLimit = 50;
inline constexpr int UpLimit = 50;
inline constexpr int Max = 50;
inline constexpr int Min = 50;
inline constexpr int NaturalResult = 500;
inline constexpr int Sex = 10;
inline constexpr int StandItemName = 100;
inline constexpr int ItemCateName = 100;
inline constexpr int ChargeType = 100;
inline constexpr int ValueFormat = 100;

/// TJItem.UnitPrice is DECIMAL(12, 2) on the servers: the largest amount it
/// holds. The windows refuse a larger price (SQLite would keep any double,
/// 1.0e+20 for a 20-digit price, that a server then refuses).
inline constexpr double LargestUnitPrice = 9999999999.99;

// TJSampleType, TJSampleGroup
inline constexpr int SampleTypeName = 100;
inline constexpr int GroupName = 100;

/// The save-time check: raises ETJItemException naming the field (`label`,
/// GBK) when `value` (GBK) is longer than `width` bytes. Text set by code
/// (a proposed mnemonic, the operator's name, a value read from elsewhere)
/// passes no field limit, so the domain checks before it writes.
void RequireWidth(const std::string& value, int width, const char* label);

}  // namespace ColumnWidths
