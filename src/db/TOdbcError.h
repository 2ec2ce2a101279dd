#pragma once

#include <string>

#include "Exceptions.h"

/// An error reported by the ODBC driver: EDBException with the driver's
/// message, and the SQLSTATE beside it so that the session can tell a broken
/// link (class 08) from a refused statement.
class TOdbcError : public EDBException {
 public:
  TOdbcError(const std::string& message, std::string state)
      : EDBException(message), State(std::move(state)) {}

  /// Five characters, or empty when the driver gave none.
  std::string State;
};
