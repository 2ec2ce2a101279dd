#include "TDBSession.h"

#include <soci/odbc/soci-odbc.h>
#include <soci/soci.h>
#include <soci/sqlite3/soci-sqlite3.h>
#include <sys/stat.h>

#include "Exceptions.h"
#include "GbkText.h"
#include "ModulePath.h"
#include "TConnectionString.h"
#include "TOdbcError.h"
#include "TOdbcExecutor.h"
#include "TPostgresDialect.h"
#include "TSqlParameters.h"
#include "TSqliteDialect.h"
#include "TSqliteExecutor.h"
#include "UserRights.h"

namespace {

bool ContainsNoCase(const std::string& text, const std::string& part) {
  std::string a = text, b = part;
  for (auto* s : {&a, &b})
    for (char& c : *s)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return a.find(b) != std::string::npos;
}

// SOCI declares the SQLite API inside its own namespace; the executor uses
// the global declarations of the same C functions and types.
sqlite_api::sqlite3* NativeOf(soci::session& session) {
  return static_cast<soci::sqlite3_session_backend*>(session.get_backend())->conn_;
}

EDBException FromSoci(const soci::soci_error& e) {
  TDBErrorKind kind = TDBErrorKind::Other;
  if (const auto* sqlite = dynamic_cast<const soci::sqlite3_soci_error*>(&e))
    kind = TSqliteExecutor::KindOfCode(sqlite->result());
  else if (const auto* odbc = dynamic_cast<const soci::odbc_soci_error*>(&e))
    kind = TOdbcError::KindOfState(reinterpret_cast<const char*>(odbc->odbc_error_code()));
  return EDBException(GbkText::FromUtf8(e.get_error_message()), kind);
}

// A SOCI failure of a transaction call on ODBC, with its SQLSTATE.
TOdbcError OdbcFromSoci(const soci::odbc_soci_error& e) {
  return TOdbcError(GbkText::FromUtf8(e.get_error_message()),
                    reinterpret_cast<const char*>(e.odbc_error_code()));
}

// The PostgreSQL driver's keywords: the port, which SQL Server writes after
// the server name ("host,1433") and this driver takes as a keyword of its
// own; and no driver log files (the driver's installed defaults may ask for
// one in /tmp per process).
std::string PostgresKeywords(std::string& server) {
  std::string keywords = "CommLog=0;Debug=0";
  const size_t comma = server.rfind(',');
  if (comma == std::string::npos) return keywords;
  keywords += ";PORT=" + TConnectionString::Quote(server.substr(comma + 1));
  server.resize(comma);
  return keywords;
}

}  // namespace

TDBSession::TDBSession() = default;
TDBSession::~TDBSession() {
  Close();
}

void TDBSession::Open(const TDBPlatform& platform, const std::string& dbName,
                      const std::string& dbUser, const std::string& password,
                      const std::string& schema) {
  Close();
  timeoutSeconds_ = platform.TimeoutSeconds > 0 ? platform.TimeoutSeconds : 60;
  const std::string& provider = platform.Provider;
  if (SameTextAscii(provider, "SQLite")) {
    std::string file = GbkText::ToUtf8(schema);
    if (!file.empty() && file.front() != '/') file = ModulePath::BesideModule(file);
    OpenSqlite(file);
    return;
  }
  bool generic = SameTextAscii(provider, "ODBC");
  if (!generic && !provider.empty() && !SameTextAscii(provider, "SQLOLEDB.1"))
    throw EDBException("Unknown Provider '" + provider + "' (expected SQLite, ODBC or SQLOLEDB.1)");
  std::string driver = GbkText::ToUtf8(platform.Driver);
  if (driver.empty() && generic) throw EDBException("Provider ODBC needs a Driver");
  if (driver.empty()) driver = "FreeTDS";
  std::string extra;
  std::string file;
  if (ContainsNoCase(driver, "sqlite")) {
    // The SQLite ODBC driver reads its database file from DATABASE and its
    // busy time-out (milliseconds) from Timeout.
    file = GbkText::ToUtf8(dbName);
    extra = "Timeout=" + std::to_string(timeoutSeconds_ * 1000);
    if (file.empty()) throw EDBException("No database file given (DBName)");
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
      throw EDBException("The database file '" + dbName + "' does not exist");
  } else if (ContainsNoCase(driver, "freetds")) {
    extra = "ClientCharset=UTF-8";  // text crosses the wire as UTF-8, like SQLite's
  }
  std::string server = GbkText::ToUtf8(schema);
  if (ContainsNoCase(driver, "postgresql")) extra = PostgresKeywords(server);
  OpenOdbc(TConnectionString::Odbc(driver, server, GbkText::ToUtf8(dbName), GbkText::ToUtf8(dbUser),
                                   GbkText::ToUtf8(password), extra));
  if (!file.empty()) RememberFile(file);
}

void TDBSession::OpenSqlite(const std::string& file) {
  std::string shown = GbkText::FromUtf8(file);
  if (file.empty()) throw EDBException("No database file given (Schema)");
  struct stat st {};
  // Opening a missing file would quietly create an empty database.
  if (::stat(file.c_str(), &st) != 0)
    throw EDBException("The database file '" + shown + "' does not exist");
  try {
    session_ = std::make_unique<soci::session>(*soci::factory_sqlite3(), file);
  } catch (const soci::soci_error& e) {
    throw EDBException("Cannot open the database file '" + shown +
                       "': " + GbkText::FromUtf8(e.get_error_message()));
  }
  embedded_ = true;
  dialect_ = Dialect::Sqlite;
  dbmsName_ = "SQLite";
  sqlite_api::sqlite3_busy_timeout(NativeOf(*session_), timeoutSeconds_ * 1000);
  TSqliteExecutor::RegisterGbkCollation(Native());
  RememberFile(file);
}

void TDBSession::OpenOdbc(const std::string& connectionString) {
  odbcString_ = connectionString;
  soci::connection_parameters params(*soci::factory_odbc(), connectionString);
  params.set_option(soci::odbc_option_driver_complete, "0");  // SQL_DRIVER_NOPROMPT
  try {
    session_ = std::make_unique<soci::session>(params);
  } catch (const soci::soci_error& e) {
    throw FromSoci(e);
  }
  embedded_ = false;
  // Kept, so that it is known while the connection is broken as well.
  try {
    dbmsName_ = TOdbcExecutor::DbmsName(ConnectionHandle());
  } catch (const EDBException&) {
    session_.reset();
    throw;
  }
  broken_ = false;
  auto* backend = static_cast<soci::odbc_session_backend*>(session_->get_backend());
  switch (backend->get_database_product()) {
    case soci::odbc_session_backend::prod_sqlite:
      dialect_ = Dialect::Sqlite;
      break;
    case soci::odbc_session_backend::prod_postgresql:
      dialect_ = Dialect::Postgres;
      break;
    default:
      dialect_ = Dialect::SqlServer;
  }
}

void TDBSession::RememberFile(const std::string& file) {
  try {
    // Touch the schema so the file is really opened (and readable) now.
    TDataSet::Impl scratch;
    Query("SELECT count(*) FROM sqlite_master", scratch);
  } catch (const EDBException& e) {
    std::string message =
        "Cannot open the database file '" + GbkText::FromUtf8(file) + "': " + e.Message();
    Close();
    throw EDBException(message);
  }
  struct stat st {};
  if (::stat(file.c_str(), &st) == 0) {
    file_ = file;
    fileDevice_ = st.st_dev;
    fileInode_ = st.st_ino;
  }
}

void TDBSession::Close() {
  if (session_ && inTransaction_) {
    try {
      session_->rollback();
    } catch (const std::exception&) {
      // closing anyway: SQLite and SQL Server roll back an open transaction
    }
  }
  inTransaction_ = false;
  transactionLost_ = false;
  broken_ = false;
  session_.reset();
  file_.clear();
  odbcString_.clear();
}

std::string TDBSession::DbmsName() const {
  CheckOpen();
  return dbmsName_;
}

sqlite3* TDBSession::Native() const {
  return reinterpret_cast<sqlite3*>(NativeOf(*session_));
}

void* TDBSession::ConnectionHandle() const {
  return static_cast<soci::odbc_session_backend*>(session_->get_backend())->hdbc_;
}

void TDBSession::CheckOpen() const {
  if (!IsOpen()) throw EDBException("The connection is not open");
}

void TDBSession::Ready() {
  CheckOpen();
  CheckFileStillThere();
  if (!broken_) return;
  try {
    OpenOdbc(odbcString_);
  } catch (const EDBException& e) {
    throw EDBException(
        "The connection to the database was lost and cannot be opened again: " + e.Message(),
        TDBErrorKind::ConnectionLost);
  }
}

template <class Action>
void TDBSession::OnLink(Action action) {
  try {
    action();
  } catch (const TOdbcError& e) {
    if (!LinkBroken(e.State)) throw;
    MarkBroken();
    throw EDBException("The connection to the database was lost: " + e.Message(),
                       TDBErrorKind::ConnectionLost);
  }
}

// Class 08 is the driver's word for a broken link; some drivers report the
// first failure after a server restart otherwise (PostgreSQL's 57P01), so a
// failure is also followed by a cheap check.
bool TDBSession::LinkBroken(const std::string& state) const {
  return state.rfind("08", 0) == 0 || !TOdbcExecutor::Answers(ConnectionHandle());
}

// The server has rolled back whatever was open; the dead handle is let go
// and the next call connects anew.
void TDBSession::MarkBroken() {
  session_.reset();
  broken_ = true;
  transactionLost_ = transactionLost_ || inTransaction_;
  inTransaction_ = false;
}

void TDBSession::CheckFileStillThere() const {
  if (file_.empty()) return;
  struct stat st {};
  if (::stat(file_.c_str(), &st) != 0 || st.st_dev != fileDevice_ || st.st_ino != fileInode_)
    throw EDBException("The connection to the database was lost: the file '" +
                           GbkText::FromUtf8(file_) + "' was removed or replaced",
                       TDBErrorKind::ConnectionLost);
}

std::vector<std::string> TDBSession::ToBackendText(const std::string& gbkSql) const {
  std::string utf8 = GbkText::ToUtf8(gbkSql);
  switch (dialect_) {
    case Dialect::Sqlite:
      // Only the sqlite3 backend has the GBK collation; an ODBC connection to
      // SQLite cannot be given one and keeps SQLite's own order.
      return TSqliteDialect::Adapt(utf8, embedded_);
    case Dialect::Postgres:
      return {TPostgresDialect::Adapt(utf8)};
    case Dialect::SqlServer:
      break;
  }
  return {utf8};
}

// A transaction call of SOCI. On ODBC a failure carries its SQLSTATE and a
// failure of the link marks the session broken; SOCI's other errors pass.
void TDBSession::TransactionCall(void (soci::session::*call)()) {
  if (embedded_) {
    (session_.get()->*call)();
    return;
  }
  OnLink([&] {
    try {
      (session_.get()->*call)();
    } catch (const soci::odbc_soci_error& e) {
      throw OdbcFromSoci(e);
    }
  });
}

void TDBSession::Begin() {
  Ready();
  transactionLost_ = false;
  try {
    TransactionCall(&soci::session::begin);
  } catch (const soci::soci_error& e) {
    throw FromSoci(e);
  }
  inTransaction_ = true;
}

void TDBSession::Commit() {
  CheckOpen();
  CheckFileStillThere();
  if (transactionLost_) {
    transactionLost_ = false;
    throw EDBException(
        "The connection to the database was lost: the transaction was rolled back by the server",
        TDBErrorKind::ConnectionLost);
  }
  try {
    TransactionCall(&soci::session::commit);
  } catch (const soci::soci_error& e) {
    if (embedded_ && sqlite_api::sqlite3_get_autocommit(NativeOf(*session_)))
      inTransaction_ = false;
    throw FromSoci(e);
  }
  inTransaction_ = false;
}

void TDBSession::Rollback() {
  CheckOpen();
  bool wasOpen = inTransaction_;
  inTransaction_ = false;
  if (broken_ || transactionLost_) {
    transactionLost_ = false;  // the server rolled it back when the link died
    return;
  }
  // SQLite may have rolled back by itself after an error; a second rollback
  // would only fail with "no transaction is active".
  if (embedded_ && wasOpen && sqlite_api::sqlite3_get_autocommit(NativeOf(*session_))) return;
  try {
    session_->rollback();
  } catch (const soci::odbc_soci_error& e) {
    // A rollback that cannot reach the server is what the server does anyway.
    if (!LinkBroken(reinterpret_cast<const char*>(e.odbc_error_code()))) throw FromSoci(e);
    MarkBroken();
    transactionLost_ = false;
  } catch (const soci::soci_error& e) {
    throw FromSoci(e);
  }
}

void TDBSession::Query(const std::string& gbkSql, TDataSet::Impl& out) {
  Run(gbkSql, {}, false, &out);
}

void TDBSession::Execute(const std::string& gbkSql) {
  Run(gbkSql, {}, false, nullptr);
}

void TDBSession::ExecuteWithBlobs(const std::string& gbkSql, const std::vector<std::string>& blobs,
                                  TDataSet::Impl* out) {
  Run(gbkSql, blobs, true, out);
}

void TDBSession::Run(const std::string& gbkSql, const std::vector<std::string>& blobs,
                     bool withParameters, TDataSet::Impl* out) {
  Ready();
  std::vector<std::string> parts = ToBackendText(gbkSql);
  size_t next = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    TDataSet::Impl* rows = i + 1 == parts.size() ? out : nullptr;
    int count = 0;
    const std::string text =
        withParameters ? TSqlParameters::ToPositional(parts[i], count) : parts[i];
    if (next + count > blobs.size())
      throw EDBException(FormatText("The statement has %d parameters but only %d values were given",
                                    {count, static_cast<int>(blobs.size() - next)}));
    if (embedded_)
      TSqliteExecutor::Run(Native(), text, blobs, next, rows);
    else
      OnLink([&] {
        TOdbcExecutor::Run(ConnectionHandle(), text, count, blobs, next, timeoutSeconds_, rows);
      });
  }
}
