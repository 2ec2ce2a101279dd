#include "TDatabaseSetup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "Exceptions.h"
#include "GbkText.h"
#include "TDBConfigFile.h"
#include "TDBConnPool.h"
#include "TDBConnection.h"
#include "TDBSession.h"
#include "TSqlScript.h"
#include "UserRights.h"

namespace fs = std::filesystem;

namespace {

// Messages of the database layer are GBK; the person reads UTF-8.
[[noreturn]] void Fail(const std::string& utf8) {
  throw std::runtime_error(utf8);
}

std::string Utf8(const std::exception& error) {
  return GbkText::ToUtf8(error.what());
}

std::vector<std::string> SqliteStatements(const std::vector<std::string>& batches) {
  std::vector<std::string> statements;
  for (const std::string& batch : batches)
    for (std::string& statement : TSqlScript::SqliteStatements(batch))
      statements.push_back(std::move(statement));
  return statements;
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

// O_EXCL: a file that appeared meanwhile is someone else's, never ours to
// remove after a failure. The file belongs to the folder's group and is
// writable by it (0660): an administrator runs the set-up with sudo, and the
// site's users, members of the folder's group (tesmira for the installed
// state folder), write into it; SQLite gives its journal the file's mode.
void CreateEmptyFile(const fs::path& file) {
  std::error_code error;
  fs::create_directories(file.parent_path(), error);
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0660);
  if (fd < 0)
    Fail("Cannot create the database file " + file.string() + ": " + std::strerror(errno));
  struct stat folder {};
  const bool grouped = ::stat(file.parent_path().c_str(), &folder) == 0 &&
                       (::fchown(fd, static_cast<uid_t>(-1), folder.st_gid) == 0 || geteuid() != 0);
  const bool moded = ::fchmod(fd, 0660) == 0;
  const int saved = errno;
  ::close(fd);
  if (!grouped || !moded) {
    ::unlink(file.c_str());
    Fail("Cannot give the database file " + file.string() + " the group and mode 0660: " +
         std::strerror(saved));
  }
}

}  // namespace

std::string TDatabaseSetup::SchemaFolderOf(const std::string& dbms) {
  static const std::pair<const char*, const char*> kFolders[] = {
      {"SQLite", "sqlite"},
      {"Microsoft SQL Server", "sqlserver"},
      {"PostgreSQL", "postgresql"},
  };
  for (const auto& [system, folder] : kFolders)
    if (SameTextAscii(dbms, system)) return folder;
  return "";
}

std::string TDatabaseSetup::Run() {
  TDBConnPool& pool = LoadSettings();
  const std::string created = PrepareSqliteFile(pool);
  try {
    std::string done = CreateTables(pool);
    pool.CloseConnections();
    return done;
  } catch (...) {
    pool.CloseConnections();
    std::error_code ignored;
    if (!created.empty()) fs::remove(created, ignored);
    throw;
  }
}

TDBConnPool& TDatabaseSetup::LoadSettings() {
  if (!fs::is_regular_file(ConfigFile)) Fail("Cannot find the configuration file " + ConfigFile);
  TDBConnPool& pool = *TDBConnPool::AccessInstance(1);
  pool.CloseConnections();
  try {
    TDBConfigFile::LoadFile(pool, ConfigFile);
  } catch (const std::exception& error) {
    Fail(Utf8(error));
  }
  pool.SetTimeoutSeconds(TimeoutSeconds);
  return pool;
}

std::string TDatabaseSetup::PrepareSqliteFile(TDBConnPool& pool) {
  if (!SameTextAscii(pool.GetProvider(), "SQLite") || pool.GetSchema().empty()) return "";
  fs::path file = GbkText::ToUtf8(pool.GetSchema());
  // The library takes a relative name beside itself: the folder holding cfg/.
  if (file.is_relative())
    file = (fs::absolute(ConfigFile).parent_path().parent_path() / file).lexically_normal();
  pool.SetSchema(GbkText::FromUtf8(file.string()));
  if (fs::exists(file)) return "";
  CreateEmptyFile(file);
  return file.string();
}

std::string TDatabaseSetup::CreateTables(TDBConnPool& pool) {
  TDBConnection* connection = nullptr;
  std::string dbms;
  try {
    connection = static_cast<TDBConnection*>(pool.NewConnection());
    dbms = GbkText::ToUtf8(connection->DbmsName());
  } catch (const std::exception& error) {
    Fail("Cannot connect to the database " + Where(pool) + ": " + Utf8(error));
  }
  const std::string folder = SchemaFolderOf(dbms);
  if (folder.empty())
    Fail("No schema is kept for the database system '" + dbms +
         "' (tesmira-dbinit knows SQLite, Microsoft SQL Server and PostgreSQL)");
  const std::string schema = ReadScript((fs::path(SqlDir) / folder / "schema.sql").string());
  const std::vector<std::string> tables = TSqlScript::CreatedTables(schema);
  RefuseExistingTables(*connection, tables);
  std::vector<std::string> batches = TSqlScript::Batches(schema);
  if (DemoData)
    for (std::string& batch :
         TSqlScript::Batches(ReadScript((fs::path(SqlDir) / "demo-data.sql").string())))
      batches.push_back(std::move(batch));
  // A server takes a batch at once; SQLite gets one statement at a time.
  if (folder == "sqlite") batches = SqliteStatements(batches);
  RunInOneTransaction(*connection, batches);
  return "Created the catalogue tables (" + Joined(tables) + ") in the " + dbms + " database " +
         Where(pool) + (DemoData ? ", with the demonstration data" : "");
}

std::string TDatabaseSetup::ReadScript(const std::string& file) const {
  std::ifstream in(file, std::ios::binary);
  if (!in) Fail("Cannot read " + file + " (the SQL folder is " + SqlDir + ")");
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A probe that fails is taken as a missing table; any other trouble with the
// database shows itself when the tables are created.
void TDatabaseSetup::RefuseExistingTables(TDBConnection& connection,
                                          const std::vector<std::string>& tables) {
  std::vector<std::string> present;
  for (const std::string& table : tables) {
    TDataSet::Impl rows;
    try {
      connection.Session().Query(GbkText::FromUtf8("SELECT 1 FROM " + table + " WHERE 1 = 0"),
                                 rows);
      present.push_back(table);
    } catch (const EDBException&) {
    }
  }
  if (!present.empty())
    Fail("The database already holds catalogue tables (" + Joined(present) +
         "); nothing was changed");
}

void TDatabaseSetup::RunInOneTransaction(TDBConnection& connection,
                                         const std::vector<std::string>& batches) {
  try {
    connection.BeginTrans();
    for (const std::string& batch : batches) connection.Session().Execute(GbkText::FromUtf8(batch));
    connection.CommitTrans();
  } catch (const std::exception& error) {
    try {
      connection.RollbackTrans();
    } catch (const std::exception&) {
      // the connection goes next; the database drops what was not committed
    }
    Fail("Creating the tables failed, nothing was changed: " + Utf8(error));
  }
}

std::string TDatabaseSetup::Where(TDBConnPool& pool) {
  if (SameTextAscii(pool.GetProvider(), "SQLite")) return GbkText::ToUtf8(pool.GetSchema());
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about
  // "literal" + temporary string in release builds.
  std::string where = "'";
  where.append(GbkText::ToUtf8(pool.GetDBName())).append("'");
  const std::string server = GbkText::ToUtf8(pool.GetSchema());
  if (!server.empty()) where.append(" on '").append(server).append("'");
  return where;
}
