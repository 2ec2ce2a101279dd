#include "CatalogueWorkbook.h"

#include <algorithm>
#include <iterator>

#include "CatalogueColumns.h"
#include "CatalogueExchange.h"
#include "GbkText.h"
#include "TCatalogueImporter.h"

using namespace CatalogueColumns;

namespace CatalogueWorkbook {

namespace {

constexpr TEntryKind kSheetKinds[] = {TEntryKind::SampleType, TEntryKind::Tube,
                                      TEntryKind::Category,   TEntryKind::Item,
                                      TEntryKind::CombItem,   TEntryKind::CheckSet};

// What the file's name and a sheet's name say in every message.
struct TSheetContext {
  const std::string& FileName;
  std::string Sheet;  // GBK

  EExchangeError Error(const std::string& what) const {
    return EExchangeError(FormatText("文件“%s”的工作表“%s”%s", {FileName, Sheet, what}));
  }
};

TEntryKind SheetKind(const TSheetContext& context) {
  const auto kind = KindOf(context.Sheet);
  if (kind && *kind != TEntryKind::Unnamed) return *kind;
  std::string names;
  for (TEntryKind known : kSheetKinds)
    names += std::string(names.empty() ? "" : "、") + KindName(known);
  throw context.Error(FormatText("不是目录的种类：工作表以种类命名（%s）！", {names}));
}

// Sheet column -> catalogue column, from the heading row.
std::map<int, int> Headings(const TXlsxRow& heading, const TSheetContext& context) {
  std::map<int, int> columns;
  std::vector<bool> named(Count, false);
  for (const TXlsxCell& cell : heading.Cells) {
    const std::string text = GbkText::FromUtf8(cell.Text);
    const std::string where = XlsxCells::Name(cell.Column, heading.Number);
    const int column = Find(text);
    if (column < 0) throw context.Error(FormatText("单元格%s有未知的列：%s", {where, text}));
    if (named[column]) throw context.Error(FormatText("单元格%s的列重复：%s", {where, text}));
    named[column] = true;
    columns[cell.Column] = column;
  }
  if (!named[Code] && !named[Name])
    throw context.Error(FormatText("第%d行既没有“编号”列也没有“名称”列！", {heading.Number}));
  return columns;
}

TImportLine ReadLine(const TXlsxRow& row, const std::map<int, int>& columns, TEntryKind kind,
                     const TSheetContext& context) {
  TImportLine line;
  line.Kind = kind;
  line.KindText = context.Sheet;
  // A heading's column without a cell in this row is an empty cell: a
  // spreadsheet keeps no empty cells, so absence cannot mean "leave alone".
  for (const auto& [sheetColumn, column] : columns) line.Cells[column] = std::string();
  for (const TXlsxCell& cell : row.Cells) {
    const auto column = columns.find(cell.Column);
    if (column == columns.end()) {
      line.Error = FormatText("单元格%s不在任何有标题的列之下！",
                              {XlsxCells::Name(cell.Column, row.Number)});
      continue;
    }
    line.Cells[column->second] = GbkText::FromUtf8(cell.Text);
  }
  // The sheet names the kind; a 种类 cell, when filled, must agree.
  const std::string kindCell = line.Cells[Kind].value_or("");
  if (!kindCell.empty() && KindOf(kindCell) != kind)
    line.Error = FormatText("种类“%s”与工作表“%s”不符！", {kindCell, context.Sheet});
  return line;
}

}  // namespace

TXlsxWorkbook FromCells(const std::vector<std::vector<std::string>>& entries) {
  TXlsxWorkbook workbook;
  TXlsxRow heading{1, {}};
  for (int c = 0; c < Count; ++c) heading.Cells.push_back({c, GbkText::ToUtf8(ChineseName(c))});
  for (TEntryKind kind : kSheetKinds)
    workbook.Sheets.push_back({GbkText::ToUtf8(KindName(kind)), {heading}});
  for (const std::vector<std::string>& cells : entries) {
    const auto kind = KindOf(cells[Kind]);
    const auto sheet = std::find(std::begin(kSheetKinds), std::end(kSheetKinds), kind);
    if (sheet == std::end(kSheetKinds)) continue;
    std::vector<TXlsxRow>& rows = workbook.Sheets[sheet - std::begin(kSheetKinds)].Rows;
    TXlsxRow row{static_cast<int>(rows.size()) + 1, {}};
    for (int c = 0; c < Count; ++c)
      if (!cells[c].empty()) row.Cells.push_back({c, GbkText::ToUtf8(cells[c]), c == Price});
    rows.push_back(std::move(row));
  }
  return workbook;
}

std::vector<TImportLine> Lines(const TXlsxWorkbook& workbook, const std::string& fileName,
                               std::map<int, std::string>& places) {
  std::vector<TImportLine> lines;
  for (const TXlsxSheet& sheet : workbook.Sheets) {
    if (sheet.Rows.empty()) continue;  // a blank sheet, as a new workbook has
    const TSheetContext context{fileName, GbkText::FromUtf8(sheet.Name)};
    const TEntryKind kind = SheetKind(context);
    const std::map<int, int> columns = Headings(sheet.Rows.front(), context);
    for (size_t r = 1; r < sheet.Rows.size(); ++r) {
      TImportLine line = ReadLine(sheet.Rows[r], columns, kind, context);
      line.Line = static_cast<int>(lines.size()) + 1;
      places[line.Line] = FormatText("工作表“%s”第%d行", {context.Sheet, sheet.Rows[r].Number});
      lines.push_back(std::move(line));
    }
  }
  return lines;
}

}  // namespace CatalogueWorkbook
