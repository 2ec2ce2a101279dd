// tesmira-dbinit's set-up of a database named by a library's cfg/cfg.config,
// on real SQLite files: what it creates, what it refuses, and that every
// failure leaves the database as it was.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "TDBConnPool.h"
#include "TDatabaseSetup.h"
#include "TestDatabase.h"

namespace fs = std::filesystem;

namespace {

std::string FileText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int Occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// The library folder lib/ (with cfg/cfg.config) beside TestDatabase's file,
// which starts out holding the schema.
class DatabaseSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(lib_ / "cfg");
    setup_.ConfigFile = (lib_ / "cfg" / "cfg.config").string();
    setup_.SqlDir = TESMIRA_SQL_DIR;
    setup_.TimeoutSeconds = 1;
  }

  void WriteConfig(const std::string& attributes) {
    std::ofstream(setup_.ConfigFile)
        << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<cfgxml><DBConnectionPool " << attributes
        << " DBUser=\"\" Password=\"\" MinDBPoolSize=\"1\" MaxDBPoolSize=\"2\"/></cfgxml>\n";
  }
  // The embedded database, named relative to the library as a site may.
  void ConfigureSqlite() { WriteConfig("Provider=\"SQLite\" DBName=\"t\" Schema=\"../test.db\""); }
  void ConfigureOdbc() {
    WriteConfig("Provider=\"ODBC\" Driver=\"SQLite3\" Schema=\"\" DBName=\"" + db_.Path() + "\"");
  }
  void EmptyDatabaseFile() { std::ofstream(db_.Path(), std::ios::trunc); }

  std::string Failure() {
    try {
      setup_.Run();
    } catch (const std::runtime_error& error) {
      return error.what();
    }
    ADD_FAILURE() << "the set-up succeeded";
    return "";
  }
  long long Tables() {
    return db_.QueryInt("SELECT count(*) FROM sqlite_master WHERE type = 'table'");
  }

  TestDatabase db_;
  fs::path lib_ = fs::path(db_.Folder()) / "lib";
  TDatabaseSetup setup_;
};

TEST_F(DatabaseSetupTest, MakesTheFileWithSchemaAndDemoDataThenRefusesASecondRun) {
  fs::remove(db_.Path());
  ConfigureSqlite();
  setup_.DemoData = true;
  const std::string done = setup_.Run();
  EXPECT_NE(done.find(db_.Path()), std::string::npos) << done;
  EXPECT_NE(done.find("TJCategories, TJItem"), std::string::npos) << done;

  const std::string demo = FileText(fs::path(TESMIRA_SQL_DIR) / "demo-data.sql");
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJItem"), Occurrences(demo, "INSERT INTO TJItem "));
  EXPECT_EQ(db_.QueryInt(u8"SELECT count(*) FROM TJItem WHERE ItemName = '血常规'"), 1);
  // The trigger arrived whole: a category with items cannot be deleted.
  const long long category = db_.QueryInt("SELECT CateId FROM TJItem WHERE CateId > 0 LIMIT 1");
  EXPECT_THROW(db_.Exec("DELETE FROM TJCategories WHERE CateID = " + std::to_string(category)),
               std::runtime_error);

  const std::string before = FileText(db_.Path());
  const std::string refusal = Failure();
  EXPECT_NE(refusal.find("already holds catalogue tables (TJCategories, TJItem"), std::string::npos)
      << refusal;
  EXPECT_NE(refusal.find("nothing was changed"), std::string::npos) << refusal;
  EXPECT_EQ(FileText(db_.Path()), before);
}

TEST_F(DatabaseSetupTest, ThroughOdbcTheSchemaFollowsTheDatabaseSystem) {
  ConfigureOdbc();
  EXPECT_NE(Failure().find("already holds"), std::string::npos);  // the schema is there

  EmptyDatabaseFile();
  const std::string done = setup_.Run();
  EXPECT_NE(done.find("SQLite database"), std::string::npos) << done;
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM sqlite_master WHERE type = 'trigger'"), 1);
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJItem"), 0);  // no demo data asked for
}

TEST_F(DatabaseSetupTest, AFailureHalfWayLeavesTheDatabaseAsItWas) {
  // Demonstration data whose second statement fails after the first worked.
  const fs::path sql = fs::path(db_.Folder()) / "sql";
  fs::create_directories(sql / "sqlite");
  fs::copy_file(fs::path(TESMIRA_SQL_DIR) / "sqlite" / "schema.sql", sql / "sqlite" / "schema.sql");
  std::ofstream(sql / "demo-data.sql")
      << "BEGIN TRANSACTION;\nINSERT INTO TJCategories (CateID, CateName) VALUES (1, 'x');\n"
         "INSERT INTO NoSuchTable VALUES (1);\nCOMMIT;\n";
  setup_.SqlDir = sql.string();
  setup_.DemoData = true;
  ConfigureSqlite();

  fs::remove(db_.Path());
  std::string message = Failure();
  EXPECT_NE(message.find("Creating the tables failed, nothing was changed"), std::string::npos);
  EXPECT_NE(message.find("NoSuchTable"), std::string::npos) << message;
  EXPECT_FALSE(fs::exists(db_.Path())) << "the file made for the run stays behind";

  EmptyDatabaseFile();  // a file of the site's: kept, and still empty
  message = Failure();
  EXPECT_NE(message.find("NoSuchTable"), std::string::npos) << message;
  ASSERT_TRUE(fs::exists(db_.Path()));
  EXPECT_EQ(Tables(), 0);
}

TEST_F(DatabaseSetupTest, ALockedDatabaseIsReportedAndLeftAlone) {
  EmptyDatabaseFile();
  ConfigureSqlite();
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(db_.Path().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  const std::string message = Failure();
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_NE(message.find("locked"), std::string::npos) << message;
  EXPECT_EQ(Tables(), 0);
}

TEST_F(DatabaseSetupTest, MistakesOfThePersonAreNamed) {
  setup_.ConfigFile = (lib_ / "cfg" / "missing.config").string();
  EXPECT_EQ(Failure(), "Cannot find the configuration file " + setup_.ConfigFile);

  setup_.ConfigFile = (lib_ / "cfg" / "cfg.config").string();
  std::ofstream(setup_.ConfigFile) << "<cfgxml><DBConnectionPool";
  EXPECT_NE(Failure().find(U8(u8"不是格式正确的 XML")), std::string::npos);

  // No schema where the SQL is said to be: the file made for the run goes.
  fs::remove(db_.Path());
  ConfigureSqlite();
  setup_.SqlDir = db_.Folder();
  std::string message = Failure();
  EXPECT_NE(
      message.find("Cannot read " + (fs::path(db_.Folder()) / "sqlite" / "schema.sql").string()),
      std::string::npos)
      << message;
  EXPECT_FALSE(fs::exists(db_.Path()));

  // A file that is no database is not touched.
  std::ofstream(db_.Path()) << "notes, not a database";
  setup_.SqlDir = TESMIRA_SQL_DIR;
  message = Failure();
  EXPECT_NE(message.find("Cannot connect to the database " + db_.Path()), std::string::npos)
      << message;
  EXPECT_EQ(FileText(db_.Path()), "notes, not a database");
}

}  // namespace

// On the test server: a database without tables gets the PostgreSQL schema
// (functions, collation and trigger included) and the demonstration data,
// sent as they are through the library's connection.
TEST(ServerDatabaseSetup, SchemaAndDemoDataArriveInOneRun) {
  TestDatabase db(TestBackend::Postgres);
  db.Exec("DROP SCHEMA public CASCADE; CREATE SCHEMA public");
  const fs::path lib = fs::path(db.Folder()) / "lib";
  fs::create_directories(lib / "cfg");
  TDatabaseSetup setup;
  setup.ConfigFile = (lib / "cfg" / "cfg.config").string();
  setup.SqlDir = TESMIRA_SQL_DIR;
  setup.TimeoutSeconds = 10;
  setup.DemoData = true;
  {
    TDBConnPool& pool = *TDBConnPool::AccessInstance(1);
    db.Configure(pool, TestBackend::Postgres);
    std::ofstream(setup.ConfigFile)
        << "<cfgxml><DBConnectionPool Provider=\"ODBC\" Driver=\"PostgreSQL Unicode\" DBName=\""
        << pool.GetDBName() << "\" Schema=\"" << pool.GetSchema()
        << "\" DBUser=\"postgres\" Password=\"\" MinDBPoolSize=\"0\" MaxDBPoolSize=\"2\"/>"
           "</cfgxml>\n";
  }
  const std::string done = setup.Run();
  EXPECT_NE(done.find("PostgreSQL database"), std::string::npos) << done;
  const std::string demo = FileText(fs::path(TESMIRA_SQL_DIR) / "demo-data.sql");
  EXPECT_EQ(db.QueryInt("SELECT count(*) FROM TJItem"), Occurrences(demo, "INSERT INTO TJItem "));
  EXPECT_EQ(db.QueryInt(u8"SELECT count(*) FROM TJItem WHERE ItemName = '血常规'"), 1);
  // Text compares without case, as on SQL Server.
  const long long units = db.QueryInt("SELECT count(*) FROM TJItem WHERE ItemUnit = 'mmol/L'");
  EXPECT_GT(units, 0);
  EXPECT_EQ(db.QueryInt("SELECT count(*) FROM TJItem WHERE ItemUnit = 'MMOL/L'"), units);
  const long long category = db.QueryInt("SELECT CateId FROM TJItem WHERE CateId > 0 LIMIT 1");
  EXPECT_THROW(db.Exec("DELETE FROM TJCategories WHERE CateID = " + std::to_string(category)),
               std::runtime_error);
  try {
    setup.Run();
    ADD_FAILURE() << "a second run succeeded";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("already holds"), std::string::npos) << error.what();
  }
}
