#include "TDBConfigFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <pugixml.hpp>

#include "Exceptions.h"
#include "GbkText.h"
#include "ModulePath.h"
#include "TDBConnPool.h"

namespace {

// An attribute's text in GBK. A control character (a tab, a line break
// written as a character reference, a NUL) has no place in any setting and
// would be cut or carried into the connection string: refused.
std::string Text(const pugi::xml_node& element, const char* name, const std::string& where) {
  const std::string value = element.attribute(name).value();
  for (size_t i = 0; i < value.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(value[i]);
    if (c < 0x20 || c == 0x7f)
      throw EDBException(
          FormatText("%s：<DBConnectionPool> 的属性 %s 含有控制字符（第 %d "
                     "个字节，代码 %d），请删去",
                     {where, std::string(name), static_cast<int>(i + 1), static_cast<int>(c)}));
  }
  return GbkText::FromUtf8(value);
}

int LineAt(const std::string& content, ptrdiff_t offset) {
  offset = std::clamp<ptrdiff_t>(offset, 0, static_cast<ptrdiff_t>(content.size()));
  return 1 + static_cast<int>(std::count(content.begin(), content.begin() + offset, '\n'));
}

// Where the file holds a NUL, as a byte or as a character reference (&#0;,
// &#x0;): the parser's text ends there, so a value would be cut silently.
// npos when there is none.
size_t NulAt(const std::string& content) {
  const size_t raw = content.find('\0');
  if (raw != std::string::npos) return raw;
  for (size_t at = content.find("&#"); at != std::string::npos; at = content.find("&#", at + 2)) {
    size_t i = at + 2;
    const bool hex = i < content.size() && (content[i] == 'x' || content[i] == 'X');
    if (hex) ++i;
    const size_t digits = i;
    while (i < content.size() && content[i] == '0') ++i;
    if (i > digits && i < content.size() && content[i] == ';') return at;
  }
  return std::string::npos;
}

// pugixml's own descriptions are English; a site reads what is wrong with
// its file in Chinese.
const char* XmlProblem(pugi::xml_parse_status status) {
  switch (status) {
    case pugi::status_file_not_found:
    case pugi::status_io_error:
      return "文件读不出来";
    case pugi::status_out_of_memory:
      return "内存不足";
    case pugi::status_unrecognized_tag:
      return "无法识别的标记";
    case pugi::status_bad_pi:
      return "处理指令（<?...?>）写得不对";
    case pugi::status_bad_comment:
      return "注释写得不对";
    case pugi::status_bad_cdata:
      return "CDATA 段写得不对";
    case pugi::status_bad_doctype:
      return "文档类型声明写得不对";
    case pugi::status_bad_pcdata:
      return "元素的文本写得不对";
    case pugi::status_bad_start_element:
      return "元素的开始标记写得不对";
    case pugi::status_bad_attribute:
      return "属性写得不对（缺少引号或等号）";
    case pugi::status_bad_end_element:
      return "元素的结束标记写得不对";
    case pugi::status_end_element_mismatch:
      return "结束标记与开始标记不配对";
    case pugi::status_append_invalid_root:
    case pugi::status_no_document_element:
      return "没有文档元素";
    default:
      return "内部错误";
  }
}

}  // namespace

std::string TDBConfigFile::Path() {
  return ModulePath::BesideModule("cfg/cfg.config");
}

void TDBConfigFile::Load(TDBConnPool& pool, const pugi::xml_node* node) {
  if (node) {
    Apply(pool, *node, !node->empty(), "配置元素");
    return;
  }
  LoadFile(pool, Path());
}

void TDBConfigFile::LoadFile(TDBConnPool& pool, const std::string& path) {
  const std::string shown = "配置文件 " + GbkText::FromUtf8(path);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
    throw EDBException("找不到配置文件 .\\cfg\\cfg.config");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EDBException(shown + " 不能读取（请检查它的读权限）");
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (const size_t nul = NulAt(content); nul != std::string::npos)
    throw EDBException(FormatText("%s 第 %d 行含有 NUL 字符，设置值会在那里被截断，请删去",
                                  {shown, LineAt(content, static_cast<ptrdiff_t>(nul))}));
  pugi::xml_document doc;
  pugi::xml_parse_result result = doc.load_buffer(content.data(), content.size());
  if (!result)
    throw EDBException(
        FormatText("%s 不是格式正确的 XML（第 %d 行）：%s",
                   {shown, LineAt(content, result.offset), XmlProblem(result.status)}));
  pugi::xml_node root = doc.document_element();
  if (std::string(root.name()) != "cfgxml")
    throw EDBException(shown + "：文档元素是 <" + GbkText::FromUtf8(root.name()) +
                       ">，应为 <cfgxml>");
  pugi::xml_node element = root.child("DBConnectionPool");
  Apply(pool, element, !element.empty(), shown);
}

void TDBConfigFile::Apply(TDBConnPool& pool, const pugi::xml_node& element, bool present,
                          const std::string& where) {
  pool.SetDBName(Text(element, "DBName", where));
  pool.SetDBUser(Text(element, "DBUser", where));
  pool.SetPassword(Text(element, "Password", where));
  pool.SetSchema(Text(element, "Schema", where));
  const int minSize = ReadInteger(element, present, "MinDBPoolSize", where);
  if (minSize < 0 || minSize > TDBConnPool::kMaxPoolSize)
    throw EDBException(
        FormatText("%s：<DBConnectionPool> 的属性 MinDBPoolSize 为 %d，应在 0 到 %d 之间",
                   {where, minSize, TDBConnPool::kMaxPoolSize}));
  pool.SetMinDBPoolSize(minSize);
  const int maxSize = ReadInteger(element, present, "MaxDBPoolSize", where);
  if (maxSize < 1 || maxSize > TDBConnPool::kMaxPoolSize)
    throw EDBException(
        FormatText("%s：<DBConnectionPool> 的属性 MaxDBPoolSize 为 %d，应在 1 到 %d 之间",
                   {where, maxSize, TDBConnPool::kMaxPoolSize}));
  if (minSize > maxSize)
    throw EDBException(
        FormatText("%s：<DBConnectionPool> 的属性 MinDBPoolSize（%d）大于 MaxDBPoolSize（%d）",
                   {where, minSize, maxSize}));
  pool.SetMaxDBPoolSize(maxSize);
  pool.SetProvider(Text(element, "Provider", where));
  pool.SetDriver(Text(element, "Driver", where));
  // Optional bounds of the waits, in seconds.
  struct Bound {
    const char* Name;
    int Low, High;
    void (TDBConnPool::*Set)(int);
  };
  for (const Bound& b : {Bound{"ConnectTimeout", 2, 600, &TDBConnPool::SetConnectTimeoutSeconds},
                         Bound{"CommandTimeout", 1, 3600, &TDBConnPool::SetTimeoutSeconds},
                         Bound{"BusyTimeout", 1, 600, &TDBConnPool::SetBusyTimeoutSeconds}}) {
    if (!element.attribute(b.Name)) continue;
    const int value = ReadInteger(element, present, b.Name, where);
    if (value < b.Low || value > b.High)
      throw EDBException(FormatText("%s：<DBConnectionPool> 的属性 %s 为 %d，应在 %d 到 %d 秒之间",
                                    {where, std::string(b.Name), value, b.Low, b.High}));
    (pool.*b.Set)(value);
  }
}

int TDBConfigFile::ReadInteger(const pugi::xml_node& element, bool present, const char* name,
                               const std::string& where) {
  if (!present)
    throw EDBException(where + "：缺少元素 <DBConnectionPool>，属性 " + name + " 没有值");
  pugi::xml_attribute attribute = element.attribute(name);
  if (!attribute) throw EDBException(where + "：<DBConnectionPool> 缺少属性 " + name);
  std::string value = attribute.value();
  std::string_view digits = value;
  if (digits.size() > 1 && digits[0] == '+' && digits[1] >= '0' && digits[1] <= '9')
    digits.remove_prefix(1);
  int number = 0;
  auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (digits.empty() || ec != std::errc() || ptr != digits.data() + digits.size())
    throw EDBException(where + "：<DBConnectionPool> 的属性 " + name + " 为 '" +
                       GbkText::FromUtf8(value) + "'，不是 32 位范围内的整数");
  return number;
}
