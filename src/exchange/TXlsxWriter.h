#pragma once

#include <string>
#include <vector>

#include "TXlsxWorkbook.h"

/// Writes the cell values of a workbook as an XLSX file, through
/// libxlsxwriter: a cell marked Number becomes a number cell, every other
/// one a text cell (so a code like 0012 keeps its zeros). Columns listed in
/// `textColumns` are also formatted as text, so what a clerk types there
/// in a spreadsheet stays text too. The first row stays in view on scroll.
namespace TXlsxWriter {

/// Writes `workbook` to `path` through a file beside it, renamed over
/// `path` only when complete: a failed export leaves any earlier file
/// whole. Raises EExchangeError (GBK message) when a sheet name or a cell
/// cannot be written.
void Write(const std::string& path, const TXlsxWorkbook& workbook,
           const std::vector<int>& textColumns = {});

/// Whether libxlsxwriter accepts `name` (UTF-8) as a sheet name: 1 to 31
/// characters, none of []:*?/\, no apostrophe at either end.
bool IsSheetName(const std::string& name);

}  // namespace TXlsxWriter
