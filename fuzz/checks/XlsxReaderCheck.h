#pragma once

#include <string_view>

/// The workbook reader (TXlsxReader): any bytes either read or are refused
/// with EExchangeError, never a fault; what is read keeps its own rules
/// (rows and columns rise within a sheet's limits, no empty cell, a number
/// cell's text is a number); and a workbook libxlsxwriter can carry, written
/// back (TXlsxWriter) and read again, gives the same sheets and cells.
void CheckXlsxReader(std::string_view input);
