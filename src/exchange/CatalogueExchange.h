#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Exceptions.h"
#include "TCsvText.h"

struct TCurrentUser;

/// A file the exchange cannot read as a whole (missing, no heading row,
/// an unknown column): nothing was read from it and nothing was written.
class EExchangeError : public ETJItemException {
 public:
  using ETJItemException::ETJItemException;
};

/// What became of one row of an imported file.
enum class TRowOutcome { Created, Updated, Unchanged, Refused };

struct TFieldChange {
  std::string Column;  // the Chinese heading
  std::string Before;
  std::string After;
};

/// One row's result: the file line, the kind and key of the entry, the
/// changed fields (Updated) or the reason (Refused). Texts are GBK.
struct TImportRow {
  /// The CSV line; for a workbook, the row's place in reading order
  /// (unique over all sheets), with Place telling where it is.
  int Line = 0;
  /// Where the row is when a line number alone cannot say it: for a
  /// workbook, "工作表“项目”第5行". Empty for CSV.
  std::string Place;
  TRowOutcome Outcome = TRowOutcome::Unchanged;
  std::string Kind;
  std::string Key;
  std::string Name;
  std::vector<TFieldChange> Changes;
  std::string Reason;

  /// "新增", "修改", "不变" or "拒绝".
  const char* OutcomeText() const;
  /// "单价: 12.00 -> 15.00；名称: a -> b" for an update; the reason for a
  /// refusal, after the line or place; empty otherwise.
  std::string Detail() const;
};

struct TImportReport {
  std::vector<TImportRow> Rows;  // in file order
  bool Applied = false;          // committed (not a preview, nothing refused)

  int Count(TRowOutcome outcome) const;
  /// "新增 3 条，修改 1 条，不变 20 条，拒绝 0 条" and whether it was applied.
  std::string Summary() const;
};

struct TExchangeOptions {
  /// A preview: the file is applied in a transaction that is rolled back.
  bool DryRun = false;
  TFileEncoding Encoding = TFileEncoding::Detect;
  /// Whose rights the import needs (null: the library's own work).
  const TCurrentUser* User = nullptr;
  /// The window or command the writes come from.
  std::string Source;
  /// Called as rows are done (done, total); may be empty.
  std::function<void(int, int)> Progress;
};

/// Export and import of the catalogue (sample types, tubes, categories,
/// items, combination items, check sets) as CSV or as an XLSX workbook. Entries are matched by
/// code (categories, sample types and tubes by name), never by row key, so
/// a file moves between databases. Every write goes through the domain's
/// one save with its rules and the user's rights; an import is one
/// transaction: all rows or none.
namespace CatalogueExchange {

/// The rights of the exchange window's two commands.
inline constexpr const char* kExportRight = "TJXT206001";
inline constexpr const char* kImportRight = "TJXT206002";

/// The catalogue as CSV bytes (UTF-8 with a byte order mark, as
/// spreadsheets open it, or GBK), heading row first.
std::string ExportCsv(const TExchangeOptions& options = {});
/// The catalogue as an XLSX workbook written to `path`: one sheet per kind,
/// named as the kind is in a CSV file (样本类型, 试管, 类别, 项目, 组合项目,
/// 套餐), the CSV's heading row first; codes are text cells, prices number
/// cells. Returns the number of entries written. (Encoding does not apply.)
int ExportXlsx(const std::string& path, const TExchangeOptions& options = {});
/// ExportXlsx for a path ending in .xlsx (any case), else ExportCsv
/// written to `path`; returns the number of entries written.
int ExportFile(const std::string& path, const TExchangeOptions& options = {});

/// Imports the CSV bytes (or previews them with DryRun).
TImportReport ImportCsv(const std::string& bytes, const TExchangeOptions& options = {});
/// Imports the bytes of an XLSX workbook (or previews them): each sheet is
/// the kind it is named after, its first row the headings; a blank sheet
/// is passed over whatever its name. `fileName` names the file in
/// messages. A file that is no workbook, a damaged one, a sheet with cells
/// that is no kind, or an unknown heading raises EExchangeError before
/// anything is written.
TImportReport ImportXlsx(const std::string& bytes, const TExchangeOptions& options = {},
                         const std::string& fileName = {});
/// ImportXlsx or ImportCsv of a file's contents, by its extension.
TImportReport ImportFile(const std::string& path, const TExchangeOptions& options = {});

/// True when `path` ends in .xlsx, in any case.
bool IsXlsxPath(const std::string& path);

}  // namespace CatalogueExchange
