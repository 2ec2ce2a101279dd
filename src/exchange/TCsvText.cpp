#include "TCsvText.h"

#include "GbkText.h"

namespace TCsvText {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// The length of the UTF-8 sequence `lead` starts, 0 for a byte no sequence
// starts with.
int SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const int length = SequenceLength(static_cast<unsigned char>(bytes[i]));
    if (length == 0 || i + length > bytes.size()) return false;
    for (int k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

std::string ToGbk(std::string_view bytes, TFileEncoding encoding) {
  const bool bom = bytes.substr(0, kBom.size()) == kBom;
  if (bom) bytes.remove_prefix(kBom.size());
  if (encoding == TFileEncoding::Detect)
    encoding = bom || IsUtf8(bytes) ? TFileEncoding::Utf8 : TFileEncoding::Gbk;
  return encoding == TFileEncoding::Utf8 ? GbkText::FromUtf8(bytes) : std::string(bytes);
}

std::vector<TCsvRecord> Parse(std::string_view text) {
  std::vector<TCsvRecord> records;
  TCsvRecord record{1, {}};
  std::string field;
  int line = 1;
  bool quoted = false;
  auto endRecord = [&](int nextLine) {
    record.Fields.push_back(std::move(field));
    field.clear();
    if (!(record.Fields.size() == 1 && record.Fields[0].empty()))
      records.push_back(std::move(record));
    record = TCsvRecord{nextLine, {}};
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        if (c == '\n') ++line;
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      record.Fields.push_back(std::move(field));
      field.clear();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      continue;  // the LF ends the record
    } else if (c == '\n') {
      ++line;
      endRecord(line);
    } else {
      field += c;
    }
  }
  if (!field.empty() || !record.Fields.empty()) endRecord(line);
  return records;
}

std::string FormatRecord(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) line += ',';
    const std::string& value = fields[i];
    const bool quote = value.find_first_of(",\"\r\n") != std::string::npos ||
                       (!value.empty() && (value.front() == ' ' || value.back() == ' '));
    if (!quote) {
      line += value;
      continue;
    }
    line += '"';
    for (char c : value) {
      if (c == '"') line += '"';
      line += c;
    }
    line += '"';
  }
  return line + "\r\n";
}

}  // namespace TCsvText
