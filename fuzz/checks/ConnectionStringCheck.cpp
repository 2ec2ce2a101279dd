#include "ConnectionStringCheck.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "TConnectionString.h"

using FuzzCheck::Require;

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

// Reads one value at `pos` (just after "="); moves `pos` to its end.
std::optional<std::string> ReadValue(const std::string& text, size_t& pos) {
  std::string value;
  if (pos < text.size() && text[pos] == '{') {
    for (++pos; pos < text.size(); ++pos) {
      if (text[pos] != '}') {
        value += text[pos];
      } else if (pos + 1 < text.size() && text[pos + 1] == '}') {
        value += '}';
        ++pos;
      } else {
        ++pos;
        return value;
      }
    }
    return std::nullopt;  // no closing brace
  }
  const size_t end = text.find(';', pos);
  value = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
  pos = end == std::string::npos ? text.size() : end;
  return value;
}

// The pairs of a connection string, or nothing when it breaks the grammar.
std::optional<Pairs> Read(const std::string& text) {
  Pairs pairs;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t equals = text.find('=', pos);
    if (equals == std::string::npos) return std::nullopt;
    std::string key = text.substr(pos, equals - pos);
    pos = equals + 1;
    std::optional<std::string> value = ReadValue(text, pos);
    if (!value || (pos < text.size() && text[pos] != ';')) return std::nullopt;
    pairs.emplace_back(std::move(key), std::move(*value));
    if (pos < text.size()) ++pos;  // the ";"
  }
  return pairs;
}

void RequirePairs(const std::string& composed, const Pairs& expected, const char* what,
                  std::string_view input) {
  const std::optional<Pairs> read = Read(composed);
  Require(read.has_value(), std::string(what) + " follows the grammar: " + composed, input);
  Require(*read == expected, std::string(what) + " holds exactly its keywords and values", input);
}

}  // namespace

void CheckConnectionString(std::string_view input) {
  const std::vector<std::string> f = FuzzCheck::Fields(input, 5);
  const std::string &password = f[0], &user = f[1], &database = f[2], &server = f[3],
                    &driver = f[4];
  for (const std::string& value : f) {
    const std::string quoted = "k=" + TConnectionString::Quote(value);
    const std::optional<Pairs> read = Read(quoted);
    Require(read && read->size() == 1 && read->front().second == value,
            "a quoted value reads back equal", input);
  }
  RequirePairs(TConnectionString::OleDb(password, user, database, server),
               {{"Provider", "SQLOLEDB.1"},
                {"Password", password},
                {"Persist Security Info", "True"},
                {"User ID", user},
                {"Initial Catalog", database},
                {"Data Source", server}},
               "the OLE DB string", input);
  Pairs odbc;
  for (auto [key, value] : {std::pair<const char*, const std::string*>{"DRIVER", &driver},
                            {"SERVER", &server},
                            {"DATABASE", &database},
                            {"UID", &user},
                            {"PWD", &password}})
    if (!value->empty()) odbc.emplace_back(key, *value);
  RequirePairs(TConnectionString::Odbc(driver, server, database, user, password), odbc,
               "the ODBC string", input);
}
