#pragma once

#include <string>

/// Composes connection strings. Every value is quoted where it needs it
/// (`{...}` with `}` doubled), so a value holding `;`, `{`, `}`, `=` or
/// surrounding blanks stays one value and can never add a keyword.
class TConnectionString {
 public:
  /// "Provider=SQLOLEDB.1;Password=..;Persist Security Info=True;User ID=..;
  /// Initial Catalog=..;Data Source=.." with the values quoted.
  static std::string OleDb(const std::string& password, const std::string& user,
                           const std::string& database, const std::string& server);
  /// "DRIVER=..;SERVER=..;DATABASE=..;UID=..;PWD=.." (empty values left out);
  /// `extra` is appended as it stands (driver-specific keywords).
  static std::string Odbc(const std::string& driver, const std::string& server,
                          const std::string& database, const std::string& user,
                          const std::string& password, const std::string& extra = {});
  /// The value as it may stand after "Key=": unchanged when harmless,
  /// otherwise in braces with every `}` doubled.
  static std::string Quote(const std::string& value);
};
