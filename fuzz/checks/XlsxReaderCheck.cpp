#include "XlsxReaderCheck.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <set>
#include <string>

#include "CatalogueExchange.h"
#include "FuzzCheck.h"
#include "TXlsxReader.h"
#include "TXlsxWriter.h"

using FuzzCheck::Require;

namespace {

void CheckShape(const TXlsxWorkbook& workbook, std::string_view input) {
  for (const TXlsxSheet& sheet : workbook.Sheets) {
    int previousRow = 0;
    for (const TXlsxRow& row : sheet.Rows) {
      Require(row.Number > previousRow && row.Number <= XlsxCells::kMaxRows,
              "row numbers rise within a sheet", input);
      previousRow = row.Number;
      Require(!row.Cells.empty(), "no empty row is kept", input);
      int previousColumn = -1;
      for (const TXlsxCell& cell : row.Cells) {
        Require(cell.Column > previousColumn && cell.Column < XlsxCells::kMaxColumns,
                "columns rise within a row", input);
        previousColumn = cell.Column;
        Require(!cell.Text.empty(), "no empty cell is kept", input);
        double number = 0;
        const char* text = cell.Text.data();
        const auto [end, error] = std::from_chars(text, text + cell.Text.size(), number);
        Require(!cell.Number || (error == std::errc() && end == text + cell.Text.size()),
                "a number cell's text is a number", input);
      }
    }
  }
}

// Text libxlsxwriter writes as it is: well-formed UTF-8 within a cell's
// 32767 characters, no control character but tab and line feed (others it
// escapes as _xHHHH_, a carriage return XML turns into a line feed), no
// _x that could read as such an escape.
bool Writable(const std::string& text) {
  return text.size() <= 32767 && FuzzCheck::IsValidUtf8(text) &&
         text.find("_x") == std::string::npos && std::none_of(text.begin(), text.end(), [](char c) {
           return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n';
         });
}

bool Writable(const TXlsxWorkbook& workbook) {
  std::set<std::string> names;
  for (const TXlsxSheet& sheet : workbook.Sheets) {
    std::string folded = sheet.Name;
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (!TXlsxWriter::IsSheetName(sheet.Name) || !Writable(sheet.Name) ||
        !names.insert(folded).second)
      return false;
    for (const TXlsxRow& row : sheet.Rows)
      for (const TXlsxCell& cell : row.Cells)
        if (!Writable(cell.Text)) return false;
  }
  return !workbook.Sheets.empty();
}

std::string ReadFile(const std::string& path) {
  std::string bytes;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, n);
    std::fclose(file);
  }
  return bytes;
}

}  // namespace

void CheckXlsxReader(std::string_view input) {
  TXlsxWorkbook workbook;
  try {
    workbook = TXlsxReader::Read(input, "fuzz.xlsx");
  } catch (const EExchangeError&) {
    return;  // refused with a message: what a damaged file must get
  }
  CheckShape(workbook, input);
  if (!Writable(workbook)) return;
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("tesmira-fuzz-" + std::to_string(getpid()) + ".xlsx"))
                               .string();
  try {
    TXlsxWriter::Write(path, workbook);
  } catch (const EExchangeError& error) {
    Require(false, std::string("a readable workbook is written back: ") + error.what(), input);
  }
  const std::string written = ReadFile(path);
  std::remove(path.c_str());
  TXlsxWorkbook again;
  try {
    again = TXlsxReader::Read(written, "fuzz.xlsx");
  } catch (const EExchangeError& error) {
    Require(false, std::string("a written workbook reads back: ") + error.what(), input);
  }
  Require(again == workbook, "a workbook written back reads as the same cells", input);
}
