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

std::string Text(const pugi::xml_node& element, const char* name) {
  return GbkText::FromUtf8(element.attribute(name).value());
}

int LineAt(const std::string& content, ptrdiff_t offset) {
  offset = std::clamp<ptrdiff_t>(offset, 0, static_cast<ptrdiff_t>(content.size()));
  return 1 + static_cast<int>(std::count(content.begin(), content.begin() + offset, '\n'));
}

}  // namespace

std::string TDBConfigFile::Path() {
  return ModulePath::BesideModule("cfg/cfg.config");
}

void TDBConfigFile::Load(TDBConnPool& pool, const pugi::xml_node* node) {
  if (node) {
    Apply(pool, *node, !node->empty(), "The configuration element");
    return;
  }
  LoadFile(pool, Path());
}

void TDBConfigFile::LoadFile(TDBConnPool& pool, const std::string& path) {
  const std::string shown = "Configuration file " + GbkText::FromUtf8(path);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
    throw EDBException("找不到配置文件 .\\cfg\\cfg.config");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EDBException(shown + " cannot be read");
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  pugi::xml_document doc;
  pugi::xml_parse_result result = doc.load_buffer(content.data(), content.size());
  if (!result)
    throw EDBException(FormatText("%s is not well-formed XML (line %d): %s",
                                  {shown, LineAt(content, result.offset), result.description()}));
  pugi::xml_node root = doc.document_element();
  if (std::string(root.name()) != "cfgxml")
    throw EDBException(shown + ": the document element is <" + GbkText::FromUtf8(root.name()) +
                       ">, expected <cfgxml>");
  pugi::xml_node element = root.child("DBConnectionPool");
  Apply(pool, element, !element.empty(), shown);
}

void TDBConfigFile::Apply(TDBConnPool& pool, const pugi::xml_node& element, bool present,
                          const std::string& where) {
  pool.SetDBName(Text(element, "DBName"));
  pool.SetDBUser(Text(element, "DBUser"));
  pool.SetPassword(Text(element, "Password"));
  pool.SetSchema(Text(element, "Schema"));
  pool.SetMinDBPoolSize(ReadInteger(element, present, "MinDBPoolSize", where));
  pool.SetMaxDBPoolSize(ReadInteger(element, present, "MaxDBPoolSize", where));
  pool.SetProvider(Text(element, "Provider"));
  pool.SetDriver(Text(element, "Driver"));
}

int TDBConfigFile::ReadInteger(const pugi::xml_node& element, bool present, const char* name,
                               const std::string& where) {
  if (!present)
    throw EDBException(where + ": element <DBConnectionPool> is missing, so attribute " + name +
                       " has no value");
  pugi::xml_attribute attribute = element.attribute(name);
  if (!attribute)
    throw EDBException(where + ": attribute " + name + " of <DBConnectionPool> is missing");
  std::string value = attribute.value();
  std::string_view digits = value;
  if (digits.size() > 1 && digits[0] == '+' && digits[1] >= '0' && digits[1] <= '9')
    digits.remove_prefix(1);
  int number = 0;
  auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (digits.empty() || ec != std::errc() || ptr != digits.data() + digits.size())
    throw EDBException(where + ": attribute " + name + " of <DBConnectionPool> is '" +
                       GbkText::FromUtf8(value) + "', not a whole number in the 32-bit range");
  return number;
}
