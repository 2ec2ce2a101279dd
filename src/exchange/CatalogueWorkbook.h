#pragma once

#include <map>
#include <string>
#include <vector>

#include "TXlsxWorkbook.h"

struct TImportLine;

/// The catalogue as a workbook: one sheet per kind, named as the kind is in
/// a CSV file, the CSV's heading row first. Between the file's cells
/// (TXlsxWorkbook, UTF-8) and the exchange's rows (GBK).
namespace CatalogueWorkbook {

/// The workbook of the entries' cells (GBK, CatalogueColumns order, as
/// TCatalogueSnapshot::AllCells gives them): every kind's sheet, in import
/// order, even when it has no entries; prices as numbers.
TXlsxWorkbook FromCells(const std::vector<std::vector<std::string>>& entries);

/// The rows of every sheet, as the importer takes them. Lines are numbered
/// in reading order over all sheets; `places` gets each line's place
/// ("工作表“项目”第5行"). EExchangeError names the file and sheet or cell
/// for a sheet with cells that is no kind, and for an unknown or repeated
/// heading.
std::vector<TImportLine> Lines(const TXlsxWorkbook& workbook, const std::string& fileName,
                               std::map<int, std::string>& places);

}  // namespace CatalogueWorkbook
