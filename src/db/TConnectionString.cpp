#include "TConnectionString.h"

namespace {
bool NeedsQuotes(const std::string& v) {
  if (v.empty()) return false;
  if (v.front() == ' ' || v.back() == ' ') return true;
  return v.find_first_of(";{}=") != std::string::npos;
}
}  // namespace

std::string TConnectionString::Quote(const std::string& value) {
  if (!NeedsQuotes(value)) return value;
  std::string out = "{";
  for (char c : value) {
    out += c;
    if (c == '}') out += '}';
  }
  return out + "}";
}

std::string TConnectionString::OleDb(const std::string& password, const std::string& user,
                                     const std::string& database, const std::string& server) {
  return "Provider=SQLOLEDB.1;Password=" + Quote(password) +
         ";Persist Security Info=True;User ID=" + Quote(user) +
         ";Initial Catalog=" + Quote(database) + ";Data Source=" + Quote(server);
}

std::string TConnectionString::Odbc(const std::string& driver, const std::string& server,
                                    const std::string& database, const std::string& user,
                                    const std::string& password, const std::string& extra) {
  std::string out;
  auto add = [&](const char* key, const std::string& value) {
    if (value.empty()) return;
    if (!out.empty()) out += ';';
    out += key;
    out += '=';
    out += Quote(value);
  };
  add("DRIVER", driver);
  add("SERVER", server);
  add("DATABASE", database);
  add("UID", user);
  add("PWD", password);
  if (!extra.empty()) out += (out.empty() ? "" : ";") + extra;
  return out;
}
