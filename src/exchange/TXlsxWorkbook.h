#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// One cell with a value: its column (0 is A) and its text (UTF-8, as the
/// workbook holds it). Number: the workbook stored a number (its text is
/// the shortest form that reads back as the same value).
struct TXlsxCell {
  int Column = 0;
  std::string Text;
  bool Number = false;

  bool operator==(const TXlsxCell&) const = default;
};

/// A row with at least one cell: its number in the sheet (1 is the first)
/// and its cells by rising column; empty cells are not kept.
struct TXlsxRow {
  int Number = 0;
  std::vector<TXlsxCell> Cells;

  bool operator==(const TXlsxRow&) const = default;
};

struct TXlsxSheet {
  std::string Name;  // UTF-8
  std::vector<TXlsxRow> Rows;

  bool operator==(const TXlsxSheet&) const = default;
};

/// The cell values of a workbook, sheets in the workbook's order: what the
/// catalogue exchange reads and writes, nothing of formats or formulas.
struct TXlsxWorkbook {
  std::vector<TXlsxSheet> Sheets;

  bool operator==(const TXlsxWorkbook&) const = default;
};

/// Cell references ("A1", "AA10") and the limits of a sheet.
namespace XlsxCells {

inline constexpr int kMaxColumns = 16384;  // A .. XFD
inline constexpr int kMaxRows = 1048576;

/// "AA10" for column 26, row 10.
std::string Name(int column, int row);
/// The column letters alone ("AA").
std::string ColumnName(int column);

struct TReference {
  int Column = 0;  // 0 is A
  int Row = 0;     // 1 is the first
};
/// The cell a reference names; nullopt for text that is none or lies
/// beyond a sheet's limits. Absolute references ("$B$2") are accepted.
std::optional<TReference> Parse(std::string_view text);

}  // namespace XlsxCells
