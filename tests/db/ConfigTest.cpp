#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <pugixml.hpp>

#include "Exceptions.h"
#include "TDBConfigFile.h"
#include "TDBConnPool.h"
#include "TestDatabase.h"

namespace {

class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (TDBConnPool* old = TDBConnPool::AccessInstance(0)) old->ReleaseInstance();
    pool = TDBConnPool::AccessInstance(1);
    pool->SetDBName("before");
    pool->SetMaxDBPoolSize(9);
    path = db.Folder() + "/cfg.config";
  }
  void TearDown() override { pool->ReleaseInstance(); }

  void Write(const std::string& content) { std::ofstream(path, std::ios::binary) << content; }
  std::string LoadError() {
    try {
      TDBConfigFile::LoadFile(*pool, path);
    } catch (const EDBException& e) {
      EXPECT_EQ(e.ErrorCode, 0);
      return e.Message();
    }
    return "(no error)";
  }

  TestDatabase db;  // only for its temporary folder
  TDBConnPool* pool = nullptr;
  std::string path;
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

TEST_F(ConfigTest, ReadsTheSixSettingsAndThePlatform) {
  Write(
      U8(u8R"(<?xml version="1.0" encoding="utf-8"?>
<cfgxml>
  <Other DBName="ignored"/>
  <DBConnectionPool MaxDBPoolSize="5" Password="p;w}" Schema=" srv " DBUser="sa"
                    MinDBPoolSize="+2" DBName="体检库" Provider="ODBC" Driver="SQLite3"/>
  <DBConnectionPool DBName="second is ignored"/>
</cfgxml>)"));
  TDBConfigFile::LoadFile(*pool, path);
  EXPECT_EQ(pool->GetDBName(), "体检库");  // GBK, as every text of the system
  EXPECT_EQ(pool->GetDBUser(), "sa");
  EXPECT_EQ(pool->GetPassword(), "p;w}");
  EXPECT_EQ(pool->GetSchema(), " srv ");  // blanks kept
  EXPECT_EQ(pool->GetMinDBPoolSize(), 2);
  EXPECT_EQ(pool->GetMaxDBPoolSize(), 5);
  EXPECT_EQ(pool->GetProvider(), "ODBC");
  EXPECT_EQ(pool->GetDriver(), "SQLite3");
}

TEST_F(ConfigTest, NamesAreMatchedExactlyAndMissingTextsReadEmpty) {
  Write(
      R"(<cfgxml><DBConnectionPool dbname="lower" MinDBPoolSize="0" MaxDBPoolSize="1"/></cfgxml>)");
  TDBConfigFile::LoadFile(*pool, path);
  EXPECT_EQ(pool->GetDBName(), "");
  EXPECT_EQ(pool->GetMinDBPoolSize(), 0);
  EXPECT_EQ(pool->GetMaxDBPoolSize(), 1);
  EXPECT_EQ(pool->GetProvider(), "");
}

TEST_F(ConfigTest, MissingFileHasTheFixedMessageAndChangesNothing) {
  EXPECT_EQ(LoadError(), "找不到配置文件 .\\cfg\\cfg.config");
  EXPECT_EQ(pool->GetDBName(), "before");
}

TEST_F(ConfigTest, EmptyAndMalformedFilesNameFileAndLine) {
  Write("");
  std::string message = LoadError();
  EXPECT_TRUE(Contains(message, path)) << message;
  EXPECT_TRUE(Contains(message, "第 1 行")) << message;
  Write("<?xml version=\"1.0\"?>\n<cfgxml>\n  <DBConnectionPool DBName=\"x\" \n</cfgxml>\n");
  message = LoadError();
  EXPECT_TRUE(Contains(message, path)) << message;
  EXPECT_TRUE(Contains(message, "不是格式正确的 XML")) << message;
  EXPECT_TRUE(Contains(message, "第 4 行")) << message;
  EXPECT_EQ(pool->GetDBName(), "before");
}

TEST_F(ConfigTest, WrongDocumentElementIsRefused) {
  Write(R"(<config><DBConnectionPool DBName="x" MinDBPoolSize="1" MaxDBPoolSize="1"/></config>)");
  std::string message = LoadError();
  EXPECT_TRUE(Contains(message, "<config>")) << message;
  EXPECT_TRUE(Contains(message, "<cfgxml>")) << message;
  EXPECT_EQ(pool->GetDBName(), "before");
}

TEST_F(ConfigTest, NonNumericSizeFailsAfterTheTextsWereStored) {
  Write(R"(<cfgxml><DBConnectionPool DBName="d" DBUser="u" Password="p" Schema="s"
           MinDBPoolSize="two" MaxDBPoolSize="3"/></cfgxml>)");
  std::string message = LoadError();
  EXPECT_TRUE(Contains(message, path)) << message;
  EXPECT_TRUE(Contains(message, "MinDBPoolSize")) << message;
  EXPECT_TRUE(Contains(message, "'two'")) << message;
  EXPECT_EQ(pool->GetDBName(), "d");
  EXPECT_EQ(pool->GetSchema(), "s");
  EXPECT_EQ(pool->GetMaxDBPoolSize(), 9);  // not reached
  for (const char* bad : {"", " 1", "1 ", "99999999999", "1.5", "+-1"}) {
    Write(std::string(R"(<cfgxml><DBConnectionPool MinDBPoolSize="1" MaxDBPoolSize=")") + bad +
          R"("/></cfgxml>)");
    EXPECT_TRUE(Contains(LoadError(), "MaxDBPoolSize")) << "value '" << bad << "'";
  }
}

TEST_F(ConfigTest, MissingPoolElementFailsAtTheFirstSize) {
  Write(R"(<cfgxml><Other/></cfgxml>)");
  std::string message = LoadError();
  EXPECT_TRUE(Contains(message, "DBConnectionPool")) << message;
  EXPECT_TRUE(Contains(message, "MinDBPoolSize")) << message;
  EXPECT_EQ(pool->GetDBName(), "");  // the four texts read as empty first
}

TEST_F(ConfigTest, AGivenElementIsReadWithoutAFile) {
  pugi::xml_document doc;
  doc.load_string(R"(<DBConnectionPool DBName="n" MinDBPoolSize="0" MaxDBPoolSize="4"/>)");
  pugi::xml_node node = doc.document_element();
  pool->LoadConfig(&node);
  EXPECT_EQ(pool->GetDBName(), "n");
  EXPECT_EQ(pool->GetMaxDBPoolSize(), 4);
}

// Pool sizes outside 0..64 (Min) and 1..64 (Max), and Min above Max, are
// refused naming the attribute and the file: a huge minimum took every
// server connection slot and the process's descriptors.
TEST_F(ConfigTest, PoolSizesOutOfRangeAreRefusedNamingAttributeAndFile) {
  struct Case {
    const char* Min;
    const char* Max;
    const char* Named;
  };
  for (const Case& c : {Case{"1000000", "5", "MinDBPoolSize"}, Case{"-1", "5", "MinDBPoolSize"},
                        Case{"65", "64", "MinDBPoolSize"}, Case{"1", "0", "MaxDBPoolSize"},
                        Case{"1", "100", "MaxDBPoolSize"}, Case{"1", "-3", "MaxDBPoolSize"},
                        Case{"6", "5", "MinDBPoolSize（6）大于 MaxDBPoolSize（5）"}}) {
    Write(std::string(R"(<cfgxml><DBConnectionPool MinDBPoolSize=")") + c.Min +
          R"(" MaxDBPoolSize=")" + c.Max + R"("/></cfgxml>)");
    const std::string message = LoadError();
    EXPECT_TRUE(Contains(message, c.Named)) << message;
    EXPECT_TRUE(Contains(message, path)) << message;
  }
  Write(R"(<cfgxml><DBConnectionPool MinDBPoolSize="0" MaxDBPoolSize="64"/></cfgxml>)");
  EXPECT_EQ(LoadError(), "(no error)");
}

// A control character in a value (a NUL would cut it silently, a tab or a
// line break would be carried into the connection string) is refused naming
// the attribute or the line.
TEST_F(ConfigTest, ControlCharactersInValuesAreRefused) {
  Write(R"(<cfgxml><DBConnectionPool Password="se&#9;cret" MinDBPoolSize="1" MaxDBPoolSize="2"/></cfgxml>)");
  std::string message = LoadError();
  EXPECT_TRUE(Contains(message, "Password")) << message;
  EXPECT_TRUE(Contains(message, "控制字符")) << message;
  EXPECT_TRUE(Contains(message, path)) << message;
  for (const char* nul : {"&#0;", "&#x00;"}) {
    Write(std::string("<cfgxml>\n<DBConnectionPool Password=\"se") + nul +
          "cret\" MinDBPoolSize=\"1\" MaxDBPoolSize=\"2\"/></cfgxml>");
    message = LoadError();
    EXPECT_TRUE(Contains(message, "NUL")) << message;
    EXPECT_TRUE(Contains(message, "第 2 行")) << message;
  }
  Write(std::string("<cfgxml><DBConnectionPool DBName=\"a\0b\" MinDBPoolSize=\"1\" "
                    "MaxDBPoolSize=\"2\"/></cfgxml>",
                    85));
  message = LoadError();
  EXPECT_TRUE(Contains(message, "NUL")) << message;
  EXPECT_TRUE(Contains(message, path)) << message;
}

// The bounds of the waits are optional attributes, in seconds, checked for
// a sane range.
TEST_F(ConfigTest, WaitBoundsAreReadAndChecked) {
  Write(R"(<cfgxml><DBConnectionPool MinDBPoolSize="1" MaxDBPoolSize="2" ConnectTimeout="3"
           CommandTimeout="30" BusyTimeout="2"/></cfgxml>)");
  EXPECT_EQ(LoadError(), "(no error)");
  EXPECT_EQ(pool->Platform().ConnectTimeoutSeconds, 3);
  EXPECT_EQ(pool->Platform().TimeoutSeconds, 30);
  EXPECT_EQ(pool->Platform().BusyTimeoutSeconds, 2);
  Write(R"(<cfgxml><DBConnectionPool MinDBPoolSize="1" MaxDBPoolSize="2" ConnectTimeout="0"/></cfgxml>)");
  std::string message = LoadError();
  EXPECT_TRUE(Contains(message, "ConnectTimeout")) << message;
  EXPECT_TRUE(Contains(message, path)) << message;
  Write(R"(<cfgxml><DBConnectionPool MinDBPoolSize="1" MaxDBPoolSize="2" BusyTimeout="x"/></cfgxml>)");
  EXPECT_TRUE(Contains(LoadError(), "BusyTimeout"));
}
