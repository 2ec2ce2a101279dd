#pragma once

#include <string>

#include "Exceptions.h"

/// An error reported by the ODBC driver: EDBException with the driver's
/// message, and the SQLSTATE beside it so that the session can tell a broken
/// link (class 08) from a refused statement.
class TOdbcError : public EDBException {
 public:
  TOdbcError(const std::string& message, std::string state, int native = 0)
      : EDBException(message, KindOfState(state)), State(std::move(state)), Native(native) {}

  /// The kind of failure a SQLSTATE names (class 23: integrity constraint;
  /// 42501 and class 28: privilege and authorisation; HYT00/HYT01 and
  /// PostgreSQL's 57014: time-outs and cancelled statements; class 08: the
  /// link). A trigger's refusal without a state of its own is Other.
  static TDBErrorKind KindOfState(const std::string& state) {
    auto classIs = [&](const char* prefix) { return state.rfind(prefix, 0) == 0; };
    if (classIs("23")) return TDBErrorKind::ConstraintRefused;
    if (state == "42501" || classIs("28")) return TDBErrorKind::NoPrivilege;
    if (state == "HYT00" || state == "HYT01" || state == "57014") return TDBErrorKind::TimedOut;
    if (classIs("08")) return TDBErrorKind::ConnectionLost;
    return TDBErrorKind::Other;
  }

  /// Five characters, or empty when the driver gave none.
  std::string State;
  /// The driver's own error number (the SQLite ODBC driver's is SQLite's
  /// result code, its SQLSTATE only HY000).
  int Native = 0;
};
