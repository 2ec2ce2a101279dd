#pragma once

#include <string>
#include <string_view>
#include <vector>

/// How the bytes of a file are to be read.
enum class TFileEncoding { Detect, Utf8, Gbk };

/// One record of a CSV file: its fields (GBK) and the file line it starts on.
struct TCsvRecord {
  int Line = 0;
  std::vector<std::string> Fields;
};

/// RFC 4180 text: fields separated by commas, records by CRLF or LF, a
/// quoted field may hold commas, line breaks and doubled quotes. Written
/// here rather than taken from a library because the reader must keep the
/// line each record starts on (a refused row is named by it) and work on
/// GBK bytes, whose second bytes never fall on a comma, quote or line break.
namespace TCsvText {

/// The text of a file as GBK: a UTF-8 byte order mark means UTF-8; so does
/// text that is valid UTF-8 (plain ASCII included); anything else is what
/// a Chinese spreadsheet saves, GBK. `encoding` other than Detect decides.
std::string ToGbk(std::string_view bytes, TFileEncoding encoding);
/// True when `bytes` is well-formed UTF-8.
bool IsUtf8(std::string_view bytes);

/// Every record of `text`. A record of one empty field (a blank line) is
/// left out. An unterminated quoted field runs to the end of the text.
std::vector<TCsvRecord> Parse(std::string_view text);

/// One record as a line (with CRLF), quoting the fields that need it.
std::string FormatRecord(const std::vector<std::string>& fields);

}  // namespace TCsvText
