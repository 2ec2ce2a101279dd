#include "TXlsxWriter.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "CatalogueExchange.h"
#include "GbkText.h"
#include "TCsvText.h"

namespace TXlsxWriter {

namespace {

// Closes (and so writes) the workbook unless it was closed already.
class TWorkbookHandle {
 public:
  explicit TWorkbookHandle(const std::string& path) : workbook_(workbook_new(path.c_str())) {}
  ~TWorkbookHandle() {
    if (workbook_) workbook_close(workbook_);
  }
  TWorkbookHandle(const TWorkbookHandle&) = delete;
  TWorkbookHandle& operator=(const TWorkbookHandle&) = delete;

  lxw_workbook* Get() const { return workbook_; }
  lxw_error Close() {
    const lxw_error error = workbook_close(workbook_);
    workbook_ = nullptr;
    return error;
  }

 private:
  lxw_workbook* workbook_;
};

// A path as a message shows it: file names are UTF-8, messages GBK.
std::string Shown(const std::string& path) {
  return TCsvText::IsUtf8(path) ? GbkText::FromUtf8(path) : path;
}

EExchangeError CannotWrite(const std::string& path, const char* reason) {
  return EExchangeError(FormatText("无法写入文件：%s（%s）", {Shown(path), std::string(reason)}));
}

void WriteCell(lxw_worksheet* sheet, const std::string& path, const std::string& sheetName, int row,
               const TXlsxCell& cell) {
  double number = 0;
  const char* text = cell.Text.c_str();
  const auto [end, parsed] = std::from_chars(text, text + cell.Text.size(), number);
  const bool isNumber = cell.Number && parsed == std::errc() && end == text + cell.Text.size();
  const lxw_error error = isNumber
                              ? worksheet_write_number(sheet, row - 1, cell.Column, number, nullptr)
                              : worksheet_write_string(sheet, row - 1, cell.Column, text, nullptr);
  if (error != LXW_NO_ERROR)
    throw EExchangeError(
        FormatText("无法写入文件“%s”的工作表“%s”单元格%s（%s）！",
                   {Shown(path), GbkText::FromUtf8(sheetName), XlsxCells::Name(cell.Column, row),
                    std::string(lxw_strerror(error))}));
}

void WriteSheet(lxw_workbook* workbook, lxw_format* textFormat, const std::string& path,
                const TXlsxSheet& sheet, const std::vector<int>& textColumns) {
  lxw_worksheet* worksheet = workbook_add_worksheet(workbook, sheet.Name.c_str());
  if (!worksheet)
    throw EExchangeError(FormatText("无法写入文件“%s”：工作表名称“%s”无效或重复！",
                                    {Shown(path), GbkText::FromUtf8(sheet.Name)}));
  for (int column : textColumns)
    worksheet_set_column(worksheet, column, column, LXW_DEF_COL_WIDTH, textFormat);
  worksheet_freeze_panes(worksheet, 1, 0);
  for (const TXlsxRow& row : sheet.Rows)
    for (const TXlsxCell& cell : row.Cells)
      WriteCell(worksheet, path, sheet.Name, row.Number, cell);
}

}  // namespace

bool IsSheetName(const std::string& name) {
  const auto characters = std::count_if(name.begin(), name.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;  // UTF-8 lead bytes
  });
  return characters >= 1 && characters <= 31 &&
         name.find_first_of("[]:*?/\\") == std::string::npos && !name.starts_with('\'') &&
         !name.ends_with('\'');
}

void Write(const std::string& path, const TXlsxWorkbook& workbook,
           const std::vector<int>& textColumns) {
  const std::string partial = path + ".part";
  {
    TWorkbookHandle handle(partial);
    if (!handle.Get()) throw CannotWrite(path, "workbook_new");
    lxw_format* textFormat = workbook_add_format(handle.Get());
    format_set_num_format_index(textFormat, 49);  // the built-in "@": text
    try {
      for (const TXlsxSheet& sheet : workbook.Sheets)
        WriteSheet(handle.Get(), textFormat, path, sheet, textColumns);
    } catch (...) {
      handle.Close();
      std::remove(partial.c_str());
      throw;
    }
    const lxw_error error = handle.Close();
    if (error != LXW_NO_ERROR) {
      std::remove(partial.c_str());
      throw CannotWrite(path, lxw_strerror(error));
    }
  }
  std::error_code error;
  std::filesystem::rename(partial, path, error);
  if (error) {
    std::remove(partial.c_str());
    throw CannotWrite(path, error.message().c_str());
  }
}

}  // namespace TXlsxWriter
