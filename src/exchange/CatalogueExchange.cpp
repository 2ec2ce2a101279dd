#include "CatalogueExchange.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <sstream>

#include "CatalogueColumns.h"
#include "CatalogueTransaction.h"
#include "CatalogueWorkbook.h"
#include "GbkText.h"
#include "TCatalogueImporter.h"
#include "TCatalogueSnapshot.h"
#include "TXlsxReader.h"
#include "TXlsxWriter.h"
#include "UserRights.h"

using namespace CatalogueColumns;

const char* TImportRow::OutcomeText() const {
  switch (Outcome) {
    case TRowOutcome::Created:
      return "新增";
    case TRowOutcome::Updated:
      return "修改";
    case TRowOutcome::Unchanged:
      return "不变";
    case TRowOutcome::Refused:
      return "拒绝";
  }
  return "";
}

std::string TImportRow::Detail() const {
  if (Outcome == TRowOutcome::Refused && !Place.empty()) return Place + "：" + Reason;
  if (Outcome == TRowOutcome::Refused) return FormatText("第%d行：%s", {Line, Reason});
  std::string text;
  for (const TFieldChange& change : Changes) {
    if (!text.empty()) text += "；";
    text += change.Column + ": " + change.Before + " -> " + change.After;
  }
  return text;
}

int TImportReport::Count(TRowOutcome outcome) const {
  return static_cast<int>(std::count_if(Rows.begin(), Rows.end(), [outcome](const TImportRow& row) {
    return row.Outcome == outcome;
  }));
}

std::string TImportReport::Summary() const {
  std::string text = FormatText("新增 %d 条，修改 %d 条，不变 %d 条，拒绝 %d 条",
                                {Count(TRowOutcome::Created), Count(TRowOutcome::Updated),
                                 Count(TRowOutcome::Unchanged), Count(TRowOutcome::Refused)});
  if (Applied) return text + "；已导入。";
  if (Count(TRowOutcome::Refused) > 0) return text + "；有被拒绝的行，没有导入任何数据。";
  return text + "；预览，没有导入任何数据。";
}

namespace CatalogueExchange {

namespace {

void RequireRight(const TCurrentUser* user, const char* right, const char* what) {
  if (user && !UserHasRight(user, right))
    throw EWriteRefused(FormatText("您没有%s目录的权限！", {std::string(what)}));
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EExchangeError(FormatText("无法打开文件：%s", {path}));
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The heading row names each column once, in either language.
std::vector<int> ReadHeadings(const TCsvRecord& heading) {
  std::vector<int> columns;
  std::vector<bool> named(Count, false);
  for (const std::string& text : heading.Fields) {
    const int column = Find(text);
    if (column < 0) throw EExchangeError(FormatText("第1行有未知的列：%s", {text}));
    if (named[column]) throw EExchangeError(FormatText("第1行的列重复：%s", {text}));
    named[column] = true;
    columns.push_back(column);
  }
  if (!named[Code] && !named[Name]) throw EExchangeError("第1行既没有“编号”列也没有“名称”列！");
  return columns;
}

std::vector<TImportLine> ReadLines(const std::vector<TCsvRecord>& records) {
  const std::vector<int> columns = ReadHeadings(records.front());
  std::vector<TImportLine> lines;
  for (size_t r = 1; r < records.size(); ++r) {
    const TCsvRecord& record = records[r];
    TImportLine line;
    line.Line = record.Line;
    if (record.Fields.size() > columns.size())
      line.Error = FormatText("第%d行的单元格多于标题行的列！", {record.Line});
    for (size_t f = 0; f < record.Fields.size() && f < columns.size(); ++f)
      line.Cells[columns[f]] = record.Fields[f];
    if (line.Cells[Kind]) {
      line.KindText = *line.Cells[Kind];
      const auto kind = KindOf(line.KindText);
      if (kind)
        line.Kind = *kind;
      else
        line.Error = FormatText("未知的种类：%s", {line.KindText});
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

// A reason's "第N行" naming a row of a workbook, said as that row's place.
std::string SayPlaces(std::string reason, const std::map<int, std::string>& places) {
  const std::string before = "第";
  const std::string after = "行";
  size_t at = reason.find(before);
  while (at != std::string::npos) {
    size_t end = at + before.size();
    int line = 0;
    while (end < reason.size() && std::isdigit(static_cast<unsigned char>(reason[end])) &&
           line < 100000000)
      line = line * 10 + (reason[end++] - '0');
    const auto place = places.find(line);
    size_t next = at + 1;
    if (end > at + before.size() && reason.compare(end, after.size(), after) == 0 &&
        place != places.end()) {
      reason.replace(at, end + after.size() - at, place->second);
      next = at + place->second.size();  // past the place: it holds a 第..行 of its own
    }
    at = reason.find(before, next);
  }
  return reason;
}

// A workbook's rows are numbered in reading order over all sheets: each
// row gets its place, and so does another row its reason names.
void NamePlaces(TImportReport& report, const std::map<int, std::string>& places) {
  for (TImportRow& row : report.Rows) {
    if (const auto place = places.find(row.Line); place != places.end()) row.Place = place->second;
    row.Reason = SayPlaces(std::move(row.Reason), places);
  }
}

TImportReport Run(std::vector<TImportLine> lines, const TExchangeOptions& options,
                  const std::map<int, std::string>& places = {}) {
  // What a row names must exist before it: kinds in their order, file order within a kind.
  std::stable_sort(lines.begin(), lines.end(),
                   [](const TImportLine& a, const TImportLine& b) { return a.Kind < b.Kind; });
  TImportReport report;
  TCatalogueTransaction transaction;
  TCatalogueImporter importer(TWriteContext{options.User, options.Source});
  importer.Load();
  for (const TImportLine& line : lines)
    if (line.Kind == TEntryKind::CombItem && line.Cells[Code])
      importer.DeclareCombination(*line.Cells[Code]);
  const int total = static_cast<int>(lines.size());
  for (int i = 0; i < total; ++i) {
    report.Rows.push_back(importer.Apply(lines[i]));
    if (options.Progress) options.Progress(i + 1, total);
  }
  for (TImportRow& late : importer.Finish())
    for (TImportRow& row : report.Rows)
      if (row.Line == late.Line) {
        row.Outcome = late.Outcome;
        row.Reason = late.Reason;
      }
  std::stable_sort(report.Rows.begin(), report.Rows.end(),
                   [](const TImportRow& a, const TImportRow& b) { return a.Line < b.Line; });
  if (!places.empty()) NamePlaces(report, places);
  if (!options.DryRun && report.Count(TRowOutcome::Refused) == 0) {
    transaction.Commit();
    report.Applied = true;
  } else {
    transaction.Rollback();
  }
  return report;
}

}  // namespace

std::string ExportCsv(const TExchangeOptions& options) {
  RequireRight(options.User, kExportRight, "导出");
  TCatalogueSnapshot snapshot;
  snapshot.Load();
  std::vector<std::string> headings;
  for (int c = 0; c < Count; ++c) headings.push_back(ChineseName(c));
  std::string text = TCsvText::FormatRecord(headings);
  for (const auto& cells : snapshot.AllCells()) text += TCsvText::FormatRecord(cells);
  if (options.Encoding == TFileEncoding::Gbk) return text;
  return "\xEF\xBB\xBF" + GbkText::ToUtf8(text);
}

int ExportXlsx(const std::string& path, const TExchangeOptions& options) {
  RequireRight(options.User, kExportRight, "导出");
  TCatalogueSnapshot snapshot;
  snapshot.Load();
  const std::vector<std::vector<std::string>> entries = snapshot.AllCells();
  TXlsxWriter::Write(path, CatalogueWorkbook::FromCells(entries), {Code});
  return static_cast<int>(entries.size());
}

int ExportFile(const std::string& path, const TExchangeOptions& options) {
  if (IsXlsxPath(path)) return ExportXlsx(path, options);
  const std::string bytes = ExportCsv(options);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw EExchangeError(FormatText("无法写入文件：%s", {path}));
  out << bytes;
  out.close();
  if (!out) throw EExchangeError(FormatText("无法写入文件：%s", {path}));
  return static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n')) - 1;
}

TImportReport ImportCsv(const std::string& bytes, const TExchangeOptions& options) {
  RequireRight(options.User, kImportRight, "导入");
  const std::vector<TCsvRecord> records = TCsvText::Parse(TCsvText::ToGbk(bytes, options.Encoding));
  if (records.empty()) throw EExchangeError("文件中没有数据！");
  return Run(ReadLines(records), options);
}

TImportReport ImportXlsx(const std::string& bytes, const TExchangeOptions& options,
                         const std::string& fileName) {
  RequireRight(options.User, kImportRight, "导入");
  const TXlsxWorkbook workbook = TXlsxReader::Read(bytes, fileName);
  std::map<int, std::string> places;
  std::vector<TImportLine> lines = CatalogueWorkbook::Lines(workbook, fileName, places);
  const bool blank = std::all_of(workbook.Sheets.begin(), workbook.Sheets.end(),
                                 [](const TXlsxSheet& sheet) { return sheet.Rows.empty(); });
  if (blank) throw EExchangeError(FormatText("文件“%s”中没有数据！", {fileName}));
  return Run(std::move(lines), options, places);
}

TImportReport ImportFile(const std::string& path, const TExchangeOptions& options) {
  RequireRight(options.User, kImportRight, "导入");
  // File names are UTF-8, messages GBK.
  const std::string shown = TCsvText::IsUtf8(path) ? GbkText::FromUtf8(path) : path;
  if (IsXlsxPath(path)) return ImportXlsx(ReadBytes(path), options, shown);
  return ImportCsv(ReadBytes(path), options);
}

bool IsXlsxPath(const std::string& path) {
  const std::string extension = ".xlsx";
  if (path.size() < extension.size()) return false;
  return std::equal(
      extension.begin(), extension.end(), path.end() - extension.size(),
      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

}  // namespace CatalogueExchange
