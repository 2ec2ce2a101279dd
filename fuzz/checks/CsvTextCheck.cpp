#include "CsvTextCheck.h"

#include <algorithm>
#include <string>

#include "FuzzCheck.h"
#include "TCsvText.h"

using FuzzCheck::Require;

void CheckCsvText(std::string_view input) {
  const std::string text = TCsvText::ToGbk(input, TFileEncoding::Detect);
  const auto records = TCsvText::Parse(text);
  const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
  int previous = 0;
  std::string written;
  for (const TCsvRecord& record : records) {
    Require(record.Line > previous && record.Line <= lines, "record lines rise within the text",
            input);
    previous = record.Line;
    Require(!(record.Fields.size() == 1 && record.Fields[0].empty()), "no blank record", input);
    written += TCsvText::FormatRecord(record.Fields);
  }
  const auto again = TCsvText::Parse(written);
  Require(again.size() == records.size(), "written records read back as many", input);
  for (size_t i = 0; i < again.size() && i < records.size(); ++i)
    Require(again[i].Fields == records[i].Fields, "written records read back the same", input);
}
