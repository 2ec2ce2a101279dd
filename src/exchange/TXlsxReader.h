#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "TXlsxWorkbook.h"

/// Reads the cell values of an XLSX workbook (a zip of XML parts): the
/// sheet names through xl/workbook.xml and its relationships, shared
/// strings (rich-text runs joined), inline strings, numbers, booleans and
/// the cached results of formulas, each cell placed by its reference.
/// libzip opens the archive and pugixml parses the parts; the OOXML reading
/// is written here because no Debian library reads cell values alone.
///
/// Untrusted input: every part is capped at kMaxPartBytes uncompressed (and
/// all parts together at kMaxTotalBytes), so a small zip cannot unpack to
/// gigabytes; pugixml expands no entities but the predefined ones and
/// character references, and a DOCTYPE is skipped, not processed.
namespace TXlsxReader {

inline constexpr std::size_t kMaxPartBytes = std::size_t{256} << 20;
inline constexpr std::size_t kMaxTotalBytes = std::size_t{1024} << 20;

/// The workbook in `bytes`. A file that is not a zip, a damaged archive, a
/// missing or malformed part, or a cell reference that is no cell raises
/// EExchangeError whose GBK message names `fileName` and the part, sheet
/// or cell.
TXlsxWorkbook Read(std::string_view bytes, const std::string& fileName);

}  // namespace TXlsxReader
