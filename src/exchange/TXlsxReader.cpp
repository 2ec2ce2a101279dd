#include "TXlsxReader.h"

#include <zip.h>

#include <charconv>
#include <cmath>
#include <map>
#include <pugixml.hpp>
#include <vector>

#include "CatalogueExchange.h"
#include "GbkText.h"

namespace TXlsxReader {

namespace {

// A DOCTYPE is skipped (parse_doctype is not set) and only the predefined
// entities are expanded. A lone blank in a <t> is a value, not layout.
constexpr unsigned kXmlOptions = pugi::parse_default | pugi::parse_ws_pcdata_single;

std::string Gbk(std::string_view utf8) {
  return GbkText::FromUtf8(utf8);
}

// The name without its namespace prefix: writers differ in the prefixes
// they give the spreadsheet namespace ("x:row" and "row" are one element).
std::string_view LocalName(std::string_view name) {
  const size_t colon = name.rfind(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool Is(const pugi::xml_node& node, std::string_view name) {
  return node.type() == pugi::node_element && LocalName(node.name()) == name;
}

pugi::xml_node Child(const pugi::xml_node& parent, std::string_view name) {
  for (pugi::xml_node child : parent.children())
    if (Is(child, name)) return child;
  return {};
}

pugi::xml_attribute Attribute(const pugi::xml_node& node, std::string_view name) {
  for (pugi::xml_attribute attribute : node.attributes())
    if (LocalName(attribute.name()) == name) return attribute;
  return {};
}

// The text of a shared or inline string: its <t>, or its rich-text runs'
// <t> joined. Phonetic runs (<rPh>) are readings, not the text.
std::string StringItemText(const pugi::xml_node& item) {
  std::string text;
  for (pugi::xml_node child : item.children()) {
    if (Is(child, "t"))
      text += child.text().get();
    else if (Is(child, "r"))
      text += Child(child, "t").text().get();
  }
  return text;
}

// A number as the shortest text that reads back as it (15 significant
// digits, what a spreadsheet shows); nullopt for text that is no number.
std::optional<std::string> NumberText(std::string_view value) {
  double number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc() || end != value.data() + value.size() || !std::isfinite(number))
    return std::nullopt;
  char buffer[32];
  const auto written =
      std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::general, 15);
  return std::string(buffer, written.ptr);
}

// Part names of the package: targets are relative to their source part's
// folder unless they start with '/'; ".." climbs.
std::string ResolveTarget(const std::string& sourcePart, const std::string& target) {
  std::string path = target.starts_with('/')
                         ? target.substr(1)
                         : sourcePart.substr(0, sourcePart.rfind('/') + 1) + target;
  std::vector<std::string> segments;
  size_t from = 0;
  while (from <= path.size()) {
    const size_t slash = std::min(path.find('/', from), path.size());
    const std::string segment = path.substr(from, slash - from);
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
    from = slash + 1;
  }
  std::string resolved;
  for (const std::string& segment : segments) resolved += (resolved.empty() ? "" : "/") + segment;
  return resolved;
}

std::string RelationshipsOf(const std::string& part) {
  const size_t slash = part.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : part.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? part : part.substr(slash + 1);
  return folder + "_rels/" + name + ".rels";
}

// The archive, read from memory; every part read counts against the caps.
class TZipArchive {
 public:
  TZipArchive(std::string_view bytes, const std::string& fileName) : fileName_(fileName) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (source) {
      zip_ = zip_open_from_source(source, ZIP_RDONLY, &error);
      if (!zip_) zip_source_free(source);
    }
    if (!zip_) {
      const std::string reason = zip_error_strerror(&error);
      zip_error_fini(&error);
      throw EExchangeError(
          FormatText("文件“%s”不是XLSX工作簿，或已损坏（%s）！", {fileName_, reason}));
    }
    zip_error_fini(&error);
  }
  ~TZipArchive() { zip_discard(zip_); }
  TZipArchive(const TZipArchive&) = delete;
  TZipArchive& operator=(const TZipArchive&) = delete;

  bool Has(const std::string& part) const { return Locate(part) >= 0; }

  std::string Read(const std::string& part) {
    const zip_int64_t index = Locate(part);
    if (index < 0) throw Damaged(FormatText("缺少%s", {part}));
    zip_stat_t stat;
    if (zip_stat_index(zip_, index, 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) &&
        stat.size > kMaxPartBytes)
      throw TooLarge(part);
    zip_file_t* file = zip_fopen_index(zip_, index, 0);
    if (!file)
      throw Damaged(FormatText("无法解压%s（%s）", {part, std::string(zip_strerror(zip_))}));
    std::string bytes;
    char buffer[65536];
    zip_int64_t n = 0;
    while ((n = zip_fread(file, buffer, sizeof buffer)) > 0) {
      bytes.append(buffer, static_cast<size_t>(n));
      // The stated size may lie: the bytes themselves are counted.
      if (bytes.size() > kMaxPartBytes || total_ + bytes.size() > kMaxTotalBytes) {
        zip_fclose(file);
        throw TooLarge(part);
      }
    }
    const std::string reason = n < 0 ? zip_file_strerror(file) : "";
    const int closed = zip_fclose(file);
    if (n < 0 || closed != 0)
      throw Damaged(FormatText("无法解压%s（%s）", {part, reason.empty() ? "CRC" : reason}));
    total_ += bytes.size();
    return bytes;
  }

  // Parses a part into `document`.
  void Load(const std::string& part, pugi::xml_document& document) {
    const std::string bytes = Read(part);
    const pugi::xml_parse_result result =
        document.load_buffer(bytes.data(), bytes.size(), kXmlOptions, pugi::encoding_auto);
    if (!result)
      throw Damaged(
          FormatText("%s不是有效的XML（%s，位置%d）",
                     {part, std::string(result.description()), static_cast<int>(result.offset)}));
  }

  EExchangeError Damaged(const std::string& what) const {
    return EExchangeError(FormatText("文件“%s”已损坏：%s！", {fileName_, what}));
  }

 private:
  // Part names are case-insensitive in a package.
  zip_int64_t Locate(const std::string& part) const {
    return zip_name_locate(zip_, part.c_str(), ZIP_FL_NOCASE);
  }
  EExchangeError TooLarge(const std::string& part) const {
    return EExchangeError(FormatText("文件“%s”中的%s解压后超过%d MiB，不予读取！",
                                     {fileName_, part, static_cast<int>(kMaxPartBytes >> 20)}));
  }

  const std::string& fileName_;
  zip_t* zip_ = nullptr;
  size_t total_ = 0;
};

// Reads the sheets of one workbook, part by part.
class TWorkbookReader {
 public:
  TWorkbookReader(std::string_view bytes, const std::string& fileName)
      : fileName_(fileName), zip_(bytes, fileName) {}

  TXlsxWorkbook Read() {
    const std::string workbookPart = WorkbookPart();
    pugi::xml_document workbook;
    zip_.Load(workbookPart, workbook);
    const std::map<std::string, std::string> targets = Relationships(workbookPart);
    ReadSharedStrings(workbookPart);
    const pugi::xml_node sheets = Child(Child(workbook, "workbook"), "sheets");
    if (!sheets) throw zip_.Damaged(FormatText("%s中没有工作表", {workbookPart}));
    TXlsxWorkbook result;
    for (pugi::xml_node entry : sheets.children()) {
      if (!Is(entry, "sheet")) continue;
      TXlsxSheet sheet;
      sheet.Name = Attribute(entry, "name").value();
      const auto target = targets.find(Attribute(entry, "id").value());
      if (target == targets.end())
        throw zip_.Damaged(FormatText("找不到工作表“%s”的内容", {Gbk(sheet.Name)}));
      ReadSheet(target->second, sheet);
      result.Sheets.push_back(std::move(sheet));
    }
    return result;
  }

 private:
  // The package's main part, named by its root relationships.
  std::string WorkbookPart() {
    if (zip_.Has("_rels/.rels"))
      for (const auto& [id, target] : Relationships("", "/officeDocument")) return target;
    return "xl/workbook.xml";
  }

  // Id -> part name of the relationships of `part` (whose type ends in
  // `type`, when given).
  std::map<std::string, std::string> Relationships(const std::string& part,
                                                   std::string_view type = {}) {
    const std::string relsPart = part.empty() ? "_rels/.rels" : RelationshipsOf(part);
    std::map<std::string, std::string> targets;
    pugi::xml_document rels;
    zip_.Load(relsPart, rels);
    for (pugi::xml_node rel : Child(rels, "Relationships").children()) {
      if (!Is(rel, "Relationship")) continue;
      if (!std::string_view(rel.attribute("Type").value()).ends_with(type)) continue;
      if (std::string_view(rel.attribute("TargetMode").value()) == "External") continue;
      targets[rel.attribute("Id").value()] = ResolveTarget(part, rel.attribute("Target").value());
    }
    return targets;
  }

  void ReadSharedStrings(const std::string& workbookPart) {
    std::string part;
    for (const auto& [id, target] : Relationships(workbookPart, "/sharedStrings")) part = target;
    if (part.empty() || !zip_.Has(part)) return;  // a workbook of numbers or inline strings
    pugi::xml_document document;
    zip_.Load(part, document);
    for (pugi::xml_node item : Child(document, "sst").children())
      if (Is(item, "si")) shared_.push_back(StringItemText(item));
  }

  void ReadSheet(const std::string& part, TXlsxSheet& sheet) {
    pugi::xml_document document;
    zip_.Load(part, document);
    // A chart sheet has no cells.
    const pugi::xml_node data = Child(Child(document, "worksheet"), "sheetData");
    int previousRow = 0;
    for (pugi::xml_node row : data.children()) {
      if (!Is(row, "row")) continue;
      TXlsxRow cells;
      cells.Number = RowNumber(row, previousRow, sheet.Name);
      previousRow = cells.Number;
      int previousColumn = -1;
      for (pugi::xml_node cell : row.children()) {
        if (!Is(cell, "c")) continue;
        const int column = CellColumn(cell, cells.Number, previousColumn, sheet.Name);
        previousColumn = column;
        TXlsxCell value = CellValue(cell, sheet.Name, column, cells.Number);
        if (value.Text.empty()) continue;
        value.Column = column;
        cells.Cells.push_back(std::move(value));
      }
      if (!cells.Cells.empty()) sheet.Rows.push_back(std::move(cells));
    }
  }

  // A row's number: its r, or the one after the previous row. Rows rise.
  int RowNumber(const pugi::xml_node& row, int previous, const std::string& sheet) const {
    const pugi::xml_attribute r = Attribute(row, "r");
    if (!r) return previous + 1 <= XlsxCells::kMaxRows ? previous + 1 : BadRow(sheet, "");
    const auto reference = XlsxCells::Parse(std::string("A") + r.value());
    if (!reference || reference->Row <= previous) return BadRow(sheet, r.value());
    return reference->Row;
  }

  int BadRow(const std::string& sheet, const std::string& r) const {
    throw EExchangeError(FormatText("文件“%s”的工作表“%s”中行号“%s”无效或不是递增的！",
                                    {fileName_, Gbk(sheet), Gbk(r)}));
  }

  // A cell's column: its reference's, or the one after the previous cell.
  // The reference must lie in its row, to the right of the previous cell.
  int CellColumn(const pugi::xml_node& cell, int row, int previous,
                 const std::string& sheet) const {
    const pugi::xml_attribute r = Attribute(cell, "r");
    if (!r) {
      if (previous + 1 < XlsxCells::kMaxColumns) return previous + 1;
      throw BadCell(sheet, XlsxCells::Name(previous, row) + "+1");
    }
    const auto reference = XlsxCells::Parse(r.value());
    if (!reference || reference->Row != row || reference->Column <= previous)
      throw BadCell(sheet, r.value());
    return reference->Column;
  }

  EExchangeError BadCell(const std::string& sheet, const std::string& reference) const {
    return EExchangeError(FormatText("文件“%s”的工作表“%s”中单元格位置“%s”无效、重复或不是递增的！",
                                     {fileName_, Gbk(sheet), Gbk(reference)}));
  }

  TXlsxCell CellValue(const pugi::xml_node& cell, const std::string& sheet, int column,
                      int row) const {
    const std::string_view type = Attribute(cell, "t").value();
    const std::string value = Child(cell, "v").text().get();
    TXlsxCell result;
    if (type == "inlineStr") {
      result.Text = StringItemText(Child(cell, "is"));
    } else if (type == "s") {
      size_t index = 0;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), index);
      if (error != std::errc() || end != value.data() + value.size() || index >= shared_.size())
        throw EExchangeError(
            FormatText("文件“%s”的工作表“%s”单元格%s引用了不存在的共享字符串“%s”！",
                       {fileName_, Gbk(sheet), XlsxCells::Name(column, row), Gbk(value)}));
      result.Text = shared_[index];
    } else if (type.empty() || type == "n") {
      const auto number = NumberText(value);
      result.Number = number.has_value();
      result.Text = number.value_or(value);
    } else {
      // b (0 or 1), str (a formula's text result), e (#N/A, ...), d (an ISO date).
      result.Text = value;
    }
    return result;
  }

  const std::string& fileName_;
  TZipArchive zip_;
  std::vector<std::string> shared_;
};

}  // namespace

TXlsxWorkbook Read(std::string_view bytes, const std::string& fileName) {
  return TWorkbookReader(bytes, fileName).Read();
}

}  // namespace TXlsxReader
