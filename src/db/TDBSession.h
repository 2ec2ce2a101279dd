#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "TDBPlatform.h"
#include "TDataSetImpl.h"

namespace soci {
class session;
}
struct sqlite3;

/// The data-access connection behind a TDBConnection: a SOCI session on the
/// sqlite3 or odbc backend. SQL arrives as GBK and is converted to UTF-8
/// here; for a database that is SQLite (embedded, or behind the SQLite ODBC
/// driver) or PostgreSQL the T-SQL forms of the system are adapted first.
/// Rows come back converted to GBK. Every failure raises EDBException.

class TDBSession {
 public:
  TDBSession();
  ~TDBSession();
  TDBSession(const TDBSession&) = delete;
  TDBSession& operator=(const TDBSession&) = delete;

  /// Opens the connection; an open one is closed first.
  void Open(const TDBPlatform& platform, const std::string& dbName, const std::string& dbUser,
            const std::string& password, const std::string& schema);
  void Close();
  bool IsOpen() const { return session_ != nullptr; }

  void Begin();
  void Commit();
  void Rollback();
  bool InTransaction() const { return inTransaction_; }

  /// Runs `gbkSql` and reads the rows of its (last) result into `out`.
  void Query(const std::string& gbkSql, TDataSet::Impl& out);
  /// Runs `gbkSql` as a command.
  void Execute(const std::string& gbkSql);
  /// Runs a batch text whose `:name` parameters take `blobs` in order; with
  /// `out`, rows it returns are read there. Blobs beyond the parameters are
  /// ignored; fewer blobs than parameters is an error.
  void ExecuteWithBlobs(const std::string& gbkSql, const std::vector<std::string>& blobs,
                        TDataSet::Impl* out);

  /// The ODBC connection string used (empty for the embedded backend).
  const std::string& OdbcConnectionString() const { return odbcString_; }

 private:
  enum class Dialect { SqlServer, Sqlite, Postgres };

  void OpenSqlite(const std::string& file);
  void OpenOdbc(const std::string& connectionString);
  /// Runs the statements of `gbkSql`; with `withParameters` its `:name`
  /// parameters take `blobs`. Rows of the last statement go to `out`.
  void Run(const std::string& gbkSql, const std::vector<std::string>& blobs, bool withParameters,
           TDataSet::Impl* out);
  /// Before every call: the connection is there.
  void Ready();
  void* ConnectionHandle() const;
  void RememberFile(const std::string& file);
  void CheckOpen() const;
  /// A SQLite database file removed or replaced under an open connection
  /// would take writes into a file nobody sees again: refuse instead.
  void CheckFileStillThere() const;
  std::vector<std::string> ToBackendText(const std::string& gbkSql) const;
  sqlite3* Native() const;
  bool Embedded() const { return embedded_; }

  std::unique_ptr<soci::session> session_;
  bool embedded_ = false;  // sqlite3 backend (else odbc)
  Dialect dialect_ = Dialect::SqlServer;
  bool inTransaction_ = false;
  int timeoutSeconds_ = 60;
  std::string odbcString_;
  std::string file_;  // the SQLite database file, when known
  dev_t fileDevice_ = 0;
  ino_t fileInode_ = 0;
};
