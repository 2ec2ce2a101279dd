#include "TDBSession.h"

#include <soci/odbc/soci-odbc.h>
#include <soci/soci.h>
#include <soci/sqlite3/soci-sqlite3.h>
#include <sys/stat.h>

#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "Exceptions.h"
#include "GbkText.h"
#include "ModulePath.h"
#include "TConnectionString.h"
#include "TInsertRows.h"
#include "TLinkWatchdog.h"
#include "TOdbcError.h"
#include "TOdbcExecutor.h"
#include "TPostgresDialect.h"
#include "TSqlParameters.h"
#include "TSqlRewrite.h"
#include "TSqliteDialect.h"
#include "TSqliteExecutor.h"
#include "TSqliteStatementCache.h"
#include "TStatementCounter.h"
#include "UserRights.h"
#include "WaitHook.h"

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
// libpq's own bounds go in pqopt: the connect time-out, and keepalives with
// a TCP user time-out, so that a link whose packets are lost ends in a
// failure of the link instead of a wait without end.
// The command time-out is the server's statement_timeout, given once in the
// connection's start-up options: with SQL_ATTR_QUERY_TIMEOUT on each
// statement the driver wraps every statement in a SET statement_timeout
// pair, two more round trips per statement.
std::string PostgresKeywords(std::string& server, int connectSeconds, int timeoutSeconds) {
  const int idle = std::max(1, connectSeconds);
  std::string keywords =
      "CommLog=0;Debug=0;pqopt={connect_timeout=" + std::to_string(std::max(2, connectSeconds)) +
      " keepalives=1 keepalives_idle=" + std::to_string(idle) +
      " keepalives_interval=1 keepalives_count=3 tcp_user_timeout=" + std::to_string(idle * 1000) +
      " options='-c statement_timeout=" + std::to_string(timeoutSeconds * 1000) + "'}";
  const size_t comma = server.rfind(',');
  if (comma == std::string::npos) return keywords;
  keywords += ";PORT=" + TConnectionString::Quote(server.substr(comma + 1));
  server.resize(comma);
  return keywords;
}

// Back-off after a failed connect. Every window of a host opens its own
// objects, and each would try the unreachable server again and pay the full
// connect time-out: a failed connect is remembered per connection string,
// and an attempt within the back-off fails at once with the same reason.
// The back-off doubles with each failure (from the connect time-out, at
// most a minute) and a successful connect ends it.
struct ConnectFailure {
  std::chrono::steady_clock::time_point Until;
  int Seconds = 0;
  std::string Reason;
};
std::mutex g_failuresLock;
std::map<std::string, ConnectFailure> g_failures;
std::map<std::string, ConnectFailure>& Failures() {
  return g_failures;
}

// The grace a driver's own time-out gets before the client-side bound.
constexpr int kGraceSeconds = 2;

}  // namespace

void TDBSession::ForgetConnectFailures() {
  std::lock_guard<std::mutex> guard(g_failuresLock);
  Failures().clear();
}

TDBSession::TDBSession() = default;
TDBSession::~TDBSession() {
  Close();
}

void TDBSession::Open(const TDBPlatform& platform, const std::string& dbName,
                      const std::string& dbUser, const std::string& password,
                      const std::string& schema) {
  Close();
  timeoutSeconds_ = platform.TimeoutSeconds > 0 ? platform.TimeoutSeconds : 60;
  connectSeconds_ = platform.ConnectTimeoutSeconds > 0 ? platform.ConnectTimeoutSeconds : 10;
  busySeconds_ =
      std::min(timeoutSeconds_, platform.BusyTimeoutSeconds > 0 ? platform.BusyTimeoutSeconds : 5);
  const std::string& provider = platform.Provider;
  if (SameTextAscii(provider, "SQLite")) {
    std::string file = GbkText::ToUtf8(schema);
    if (!file.empty() && file.front() != '/') file = ModulePath::BesideModule(file);
    OpenSqlite(file);
    return;
  }
  bool generic = SameTextAscii(provider, "ODBC");
  if (!generic && !provider.empty() && !SameTextAscii(provider, "SQLOLEDB.1"))
    throw EDBException("不认识的数据库提供者（Provider）“" + provider +
                       "”，应为 SQLite、ODBC 或 SQLOLEDB.1");
  std::string driver = GbkText::ToUtf8(platform.Driver);
  if (driver.empty() && generic) throw EDBException("提供者 ODBC 需要指定驱动程序（Driver）");
  if (driver.empty()) driver = "FreeTDS";
  std::string extra;
  std::string file;
  if (ContainsNoCase(driver, "sqlite")) {
    // The SQLite ODBC driver reads its database file from DATABASE and its
    // busy time-out (milliseconds) from Timeout.
    file = GbkText::ToUtf8(dbName);
    extra = "Timeout=" + std::to_string(busySeconds_ * 1000);
    if (file.empty()) throw EDBException("没有指定数据库文件（DBName）");
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) throw EDBException("数据库文件 " + dbName + " 不存在");
  } else if (ContainsNoCase(driver, "freetds")) {
    extra = "ClientCharset=UTF-8";  // text crosses the wire as UTF-8, like SQLite's
  }
  std::string server = GbkText::ToUtf8(schema);
  if (ContainsNoCase(driver, "postgresql"))
    extra = PostgresKeywords(server, connectSeconds_, timeoutSeconds_);
  OpenOdbc(TConnectionString::Odbc(driver, server, GbkText::ToUtf8(dbName), GbkText::ToUtf8(dbUser),
                                   GbkText::ToUtf8(password), extra));
  if (!file.empty()) RememberFile(file);
}

void TDBSession::OpenSqlite(const std::string& file) {
  std::string shown = GbkText::FromUtf8(file);
  if (file.empty()) throw EDBException("没有指定数据库文件（Schema）");
  struct stat st {};
  // Opening a missing file would quietly create an empty database.
  if (::stat(file.c_str(), &st) != 0) throw EDBException("数据库文件 " + shown + " 不存在");
  try {
    session_ = std::make_unique<soci::session>(*soci::factory_sqlite3(), file);
  } catch (const soci::soci_error& e) {
    throw EDBException("数据库文件 " + shown + " 打不开：" +
                       GbkText::FromUtf8(e.get_error_message()));
  }
  embedded_ = true;
  dialect_ = Dialect::Sqlite;
  dbmsName_ = "SQLite";
  sqlite_api::sqlite3_busy_handler(NativeOf(*session_), &TDBSession::BusyWait, this);
  TSqliteExecutor::RegisterGbkCollation(Native());
  statements_ = std::make_unique<TSqliteStatementCache>();
  // Each save inside a larger transaction (an import) sets a savepoint,
  // whose journal SQLite would otherwise keep in a temporary file.
  sqlite_api::sqlite3_exec(NativeOf(*session_), "PRAGMA temp_store = MEMORY", nullptr, nullptr,
                           nullptr);
  RememberFile(file);
}

void TDBSession::OpenOdbc(const std::string& connectionString) {
  odbcString_ = connectionString;
  soci::connection_parameters params(*soci::factory_odbc(), connectionString);
  params.set_option(soci::odbc_option_driver_complete, "0");  // SQL_DRIVER_NOPROMPT
  {
    std::lock_guard<std::mutex> guard(g_failuresLock);
    auto known = Failures().find(connectionString);
    if (known != Failures().end() && std::chrono::steady_clock::now() < known->second.Until) {
      const auto left = std::chrono::duration_cast<std::chrono::seconds>(
                            known->second.Until - std::chrono::steady_clock::now())
                            .count() +
                        1;
      throw EDBException(
          FormatText("连接数据库服务器刚刚失败，%d 秒内不再重试：", {static_cast<int>(left)}) +
              known->second.Reason,
          TDBErrorKind::ConnectionLost);
    }
  }
  const std::set<int> before = TLinkWatchdog::Sockets();
  try {
    // The driver's own connect time-out comes first; the guard is the bound
    // for a driver that has none (or ignores it).
    TLinkWatchdog::Guard bound({}, before, connectSeconds_ + kGraceSeconds);
    try {
      session_ = std::make_unique<soci::session>(params);
    } catch (const soci::soci_error& e) {
      if (bound.Fired())
        throw EDBException(FormatText("连接数据库服务器 %d 秒没有完成，已放弃：",
                                      {connectSeconds_ + kGraceSeconds}) +
                               GbkText::FromUtf8(e.get_error_message()),
                           TDBErrorKind::ConnectionLost);
      throw EDBException("连接数据库服务器失败：" + GbkText::FromUtf8(e.get_error_message()),
                         TDBErrorKind::ConnectionLost);
    }
  } catch (const EDBException& e) {
    std::lock_guard<std::mutex> guard(g_failuresLock);
    ConnectFailure& failure = Failures()[connectionString];
    failure.Seconds = std::min(60, failure.Seconds > 0 ? failure.Seconds * 2 : connectSeconds_);
    failure.Until = std::chrono::steady_clock::now() + std::chrono::seconds(failure.Seconds);
    failure.Reason = e.Message();
    throw;
  }
  {
    std::lock_guard<std::mutex> guard(g_failuresLock);
    Failures().erase(connectionString);
  }
  linkSockets_.clear();
  for (int fd : TLinkWatchdog::Sockets())
    if (!before.count(fd)) linkSockets_.insert(fd);
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
  if (statements_) statements_->Clear();  // SQLite closes no connection with statements left
  session_.reset();
  linkSockets_.clear();
  file_.clear();
  odbcString_.clear();
}

std::string TDBSession::DbmsName() const {
  CheckOpen();
  return dbmsName_;
}

// SQLite's own busy time-out sleeps without a word; this one waits the same
// bound in steps of 20 ms and calls the wait hook between them, so the
// window that waits can say what for and keep its windows painted.
int TDBSession::BusyWait(void* session, int count) {
  auto* self = static_cast<TDBSession*>(session);
  const auto now = std::chrono::steady_clock::now();
  if (count == 0) self->busySince_ = now;
  if (now - self->busySince_ >= std::chrono::seconds(self->busySeconds_)) return 0;
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  CallWaitHook();
  return 1;
}

sqlite3* TDBSession::Native() const {
  return reinterpret_cast<sqlite3*>(NativeOf(*session_));
}

void* TDBSession::ConnectionHandle() const {
  return static_cast<soci::odbc_session_backend*>(session_->get_backend())->hdbc_;
}

// Rows in blocks into bound arrays: on PostgreSQL, whose driver fetches
// the whole result at once anyway and reads long texts of a block whole
// (SQL_GD_BLOCK); the other drivers keep the cell-by-cell read.
bool TDBSession::InBlocks() const {
  return dialect_ == Dialect::Postgres;
}

// The time-out a statement handle is given: none on PostgreSQL, whose
// connection carries it (PostgresKeywords).
int TDBSession::StatementTimeout(int seconds) const {
  return dialect_ == Dialect::Postgres ? 0 : seconds;
}

void TDBSession::CheckOpen() const {
  if (!IsOpen()) throw EDBException("与数据库的连接没有打开");
}

void TDBSession::Ready() {
  CheckOpen();
  // Inside a transaction the commit looks at the file once more before
  // anything is made lasting, so the statements in between need not: a
  // look costs a system call, about a tenth of an import's time.
  if (!inTransaction_) CheckFileStillThere();
  if (!broken_) return;
  try {
    OpenOdbc(odbcString_);
  } catch (const EDBException& e) {
    throw EDBException("与数据库的连接已断开，重新连接也没有成功：" + e.Message(),
                       TDBErrorKind::ConnectionLost);
  }
}

template <class Action>
void TDBSession::OnLink(Action action) {
  // The server's own statement time-out answers first; past it and the
  // connect time-out, the server is taken as unreachable.
  const int bound = timeoutSeconds_ + connectSeconds_;
  bool fired = false;
  try {
    TLinkWatchdog::Guard guard(linkSockets_, {}, linkSockets_.empty() ? 0 : bound);
    try {
      action();
    } catch (const TOdbcError&) {
      fired = guard.Fired();
      throw;
    }
  } catch (TOdbcError& e) {
    // The SQLite ODBC driver says HY000 for every failure; its native number
    // is SQLite's own result code, which tells the kind.
    if (dialect_ == Dialect::Sqlite && e.Kind == TDBErrorKind::Other)
      e.Kind = TSqliteExecutor::KindOfCode(e.Native);
    if (fired) {
      MarkBroken();
      throw EDBException(FormatText("与数据库的连接已断开：数据库服务器 %d 秒没有应答（", {bound}) +
                             e.Message() + "）",
                         TDBErrorKind::ConnectionLost);
    }
    if (!LinkBroken(e.State)) throw;
    MarkBroken();
    throw EDBException("与数据库的连接已断开：" + e.Message(), TDBErrorKind::ConnectionLost);
  }
}

// Class 08 is the driver's word for a broken link; some drivers report the
// first failure after a server restart otherwise (PostgreSQL's 57P01), so a
// failure is also followed by a cheap check.
bool TDBSession::LinkBroken(const std::string& state) const {
  if (state.rfind("08", 0) == 0) return true;
  TLinkWatchdog::Guard guard(linkSockets_, {}, linkSockets_.empty() ? 0 : connectSeconds_);
  TStatementCounter::Add();
  return !TOdbcExecutor::Answers(ConnectionHandle(), StatementTimeout(10)) || guard.Fired();
}

// The server has rolled back whatever was open; the dead handle is let go
// and the next call connects anew.
void TDBSession::MarkBroken() {
  session_.reset();
  linkSockets_.clear();
  broken_ = true;
  transactionLost_ = transactionLost_ || inTransaction_;
  inTransaction_ = false;
}

void TDBSession::CheckFileStillThere() const {
  if (file_.empty()) return;
  struct stat st {};
  if (::stat(file_.c_str(), &st) != 0 || st.st_dev != fileDevice_ || st.st_ino != fileInode_)
    throw EDBException(
        "与数据库的连接已断开：数据库文件 " + GbkText::FromUtf8(file_) + " 已被删除或替换",
        TDBErrorKind::ConnectionLost);
}

// Moves a plain name order of a query to the client (TClientOrder): the
// terms go to `order`, the statement loses its ORDER BY.
void TDBSession::TakeOrderOut(std::string& utf8, std::vector<TClientOrder::Term>* order) {
  if (!order) return;
  std::string withoutOrder;
  *order = TClientOrder::Split(utf8, withoutOrder);
  if (!order->empty()) utf8 = std::move(withoutOrder);
}

std::vector<std::string> TDBSession::ToBackendText(const std::string& gbkSql,
                                                   std::vector<TClientOrder::Term>* order) const {
  std::string utf8 = GbkText::ToUtf8(gbkSql);
  switch (dialect_) {
    case Dialect::Sqlite:
      // Only the sqlite3 backend has the GBK collation; an ODBC connection to
      // SQLite cannot be given one and keeps SQLite's own order. On the
      // sqlite3 backend a plain name order is applied to the rows read: SQLite
      // would sort whole rows (every column of the catalogue) in its sorter,
      // calling the collation back; sorting row numbers on the texts already
      // converted costs a fraction of that, in the same order.
      if (embedded_) TakeOrderOut(utf8, order);
      return TSqliteDialect::Adapt(utf8, embedded_);
    case Dialect::Postgres:
      TakeOrderOut(utf8, order);
      return {TPostgresDialect::Adapt(utf8)};
    case Dialect::SqlServer:
      // T-SQL keeps a savepoint until the transaction ends and has no
      // statement to let it go.
      if (TSqlRewrite::IsSavepointRelease(utf8)) return {};
      break;
  }
  return {utf8};
}

// A transaction call of SOCI. On ODBC a failure carries its SQLSTATE and a
// failure of the link marks the session broken; SOCI's other errors pass.
void TDBSession::TransactionCall(void (soci::session::*call)()) {
  TStatementCounter::Add();
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
    throw EDBException("与数据库的连接已断开：服务器已撤销这个事务（回滚），修改没有保存",
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
    TStatementCounter::Add();
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

void TDBSession::InsertRows(const TInsertRows& rows) {
  rows.CheckComplete();
  if (!embedded_) {
    Execute(rows.AsSql());
    return;
  }
  Ready();
  TStatementCounter::Add();
  NameTheFile([&] { TSqliteExecutor::InsertRows(Native(), rows, *statements_); });
}

void TDBSession::Run(const std::string& gbkSql, const std::vector<std::string>& blobs,
                     bool withParameters, TDataSet::Impl* out) {
  Ready();
  std::vector<TClientOrder::Term> order;
  std::vector<std::string> parts = ToBackendText(gbkSql, out && !withParameters ? &order : nullptr);
  size_t next = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    TDataSet::Impl* rows = i + 1 == parts.size() ? out : nullptr;
    int count = 0;
    const std::string text =
        withParameters ? TSqlParameters::ToPositional(parts[i], count) : parts[i];
    if (next + count > blobs.size())
      throw EDBException(FormatText("The statement has %d parameters but only %d values were given",
                                    {count, static_cast<int>(blobs.size() - next)}));
    TStatementCounter::Add();
    if (embedded_)
      NameTheFile([&] {
        TSqliteExecutor::Run(Native(), text, blobs, next, rows, statements_.get(), &order);
      });
    else if (!file_.empty())
      NameTheFile([&] {
        OnLink([&] {
          TOdbcExecutor::Run(ConnectionHandle(), text, count, blobs, next,
                             StatementTimeout(timeoutSeconds_), InBlocks(), rows, &order);
        });
      });
    else
      OnLink([&] {
        TOdbcExecutor::Run(ConnectionHandle(), text, count, blobs, next,
                           StatementTimeout(timeoutSeconds_), InBlocks(), rows, &order);
      });
  }
}

// The embedded file's waits and refusals in the user's words, naming the
// file (and its folder for a refused write), then the driver's own text.
template <class Action>
void TDBSession::NameTheFile(Action action) {
  try {
    action();
  } catch (const EDBException& e) {
    const std::string& reason = e.Message();
    const std::string shown = GbkText::FromUtf8(file_);
    if (e.Kind == TDBErrorKind::TimedOut)
      throw EDBException(FormatText("数据库文件 %s 正被其他程序锁定，等待 %d 秒后仍未释放：",
                                    {shown, busySeconds_}) +
                             reason,
                         e.Kind);
    if (e.Kind == TDBErrorKind::NoPrivilege &&
        reason.find("readonly database") != std::string::npos) {
      const size_t slash = file_.rfind('/');
      const std::string folder =
          GbkText::FromUtf8(slash == std::string::npos ? std::string(".") : file_.substr(0, slash));
      throw EDBException("数据库文件 " + shown + " 不能写入（请检查该文件和文件夹 " + folder +
                             " 的写权限）：" + reason,
                         e.Kind);
    }
    throw;
  }
}
