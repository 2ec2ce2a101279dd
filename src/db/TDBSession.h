#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "TClientOrder.h"
#include "TDBPlatform.h"
#include "TDataSetImpl.h"

namespace soci {
class session;
}
struct sqlite3;
class TInsertRows;
class TSqliteStatementCache;

/// The data-access connection behind a TDBConnection: a SOCI session on the
/// sqlite3 or odbc backend. SQL arrives as GBK and is converted to UTF-8
/// here; for a database that is SQLite (embedded, or behind the SQLite ODBC
/// driver) or PostgreSQL the T-SQL forms of the system are adapted first.
/// Rows come back converted to GBK. Every failure raises EDBException.
///
/// A server connection can die under the session (a server restart, a
/// dropped network). A failure whose SQLSTATE is of class 08, or after which
/// a cheap check no longer reaches the database, marks the session broken:
/// the failing call reports "与数据库的连接已断开：...",
/// the server has rolled back what was open, and the next call opens a new
/// connection with the same settings.
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
  /// Open, or broken and to be opened again on the next call.
  bool IsOpen() const { return session_ != nullptr || broken_; }

  void Begin();
  /// Refuses (connection lost) when the transaction died with a broken
  /// connection: nothing of it was stored.
  void Commit();
  /// Nothing to do when the transaction died with a broken connection.
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

  /// Inserts `rows` as one statement (TInsertRows).
  void InsertRows(const TInsertRows& rows);

  /// The database system behind the connection: "SQLite" for the embedded
  /// backend, else what the ODBC driver reports (SQL_DBMS_NAME).
  std::string DbmsName() const;

  /// Forgets every remembered connect failure (the back-off; tests).
  static void ForgetConnectFailures();

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
  /// Before every call: the connection is there (opened again if broken).
  void Ready();
  /// Runs an ODBC action; a failure of the link marks the session broken
  /// and is raised as a lost connection.
  template <class Action>
  void OnLink(Action action);
  bool LinkBroken(const std::string& state) const;
  /// Runs a statement on the embedded file; a lock held too long or a
  /// refused write is reported naming the file.
  template <class Action>
  void NameTheFile(Action action);
  void TransactionCall(void (soci::session::*call)());
  void MarkBroken();
  void* ConnectionHandle() const;
  void RememberFile(const std::string& file);
  int StatementTimeout(int seconds) const;
  bool InBlocks() const;
  void CheckOpen() const;
  /// A SQLite database file removed or replaced under an open connection
  /// would take writes into a file nobody sees again: refuse instead.
  void CheckFileStillThere() const;
  /// The statements to send. With `order`, a query on PostgreSQL or the
  /// embedded file whose name order the client can apply is sent without
  /// it and `order` gets its terms (TClientOrder).
  static void TakeOrderOut(std::string& utf8, std::vector<TClientOrder::Term>* order);
  std::vector<std::string> ToBackendText(const std::string& gbkSql,
                                         std::vector<TClientOrder::Term>* order = nullptr) const;
  sqlite3* Native() const;
  /// SQLite's busy handler: waits in short steps up to the busy time-out,
  /// calling the wait hook between them.
  static int BusyWait(void* session, int count);
  bool Embedded() const { return embedded_; }

  std::unique_ptr<soci::session> session_;
  // Declared after the session: freed first, while the connection is open.
  std::unique_ptr<TSqliteStatementCache> statements_;
  bool embedded_ = false;  // sqlite3 backend (else odbc)
  Dialect dialect_ = Dialect::SqlServer;
  bool inTransaction_ = false;
  bool broken_ = false;           // to be opened again on the next call
  bool transactionLost_ = false;  // the open transaction died with the link
  int timeoutSeconds_ = 60;
  int connectSeconds_ = 10;
  int busySeconds_ = 5;
  std::chrono::steady_clock::time_point busySince_;  // the current lock wait began
  std::set<int> linkSockets_;                        // the sockets of the ODBC connection
  std::string odbcString_;
  std::string dbmsName_;
  std::string file_;  // the SQLite database file, when known
  dev_t fileDevice_ = 0;
  ino_t fileInode_ = 0;
};
