#pragma once

#include <cstdint>

/// The number of statements this process has sent to its databases, on
/// every backend: each text a session runs (one per statement the dialect
/// makes of it), each transaction call (begin, commit, rollback) and each
/// statement a session runs for itself (the link check, the per-connection
/// settings). Benchmarks print it per operation and tests hold windows and
/// saves to their counts. What an ODBC driver would add on its own is not
/// seen here; the connections are set up so that the PostgreSQL driver adds
/// nothing (see TDBSession).
class TStatementCounter {
 public:
  /// Statements sent since the process started.
  static std::uint64_t Sent();
  /// Counts `count` statements about to be sent.
  static void Add(std::uint64_t count = 1);
};
