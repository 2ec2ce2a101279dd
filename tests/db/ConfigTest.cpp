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
      R"(<cfgxml><DBConnectionPool dbname="lower" MinDBPoolSize="0" MaxDBPoolSize="0"/></cfgxml>)");
  TDBConfigFile::LoadFile(*pool, path);
  EXPECT_EQ(pool->GetDBName(), "");
  EXPECT_EQ(pool->GetMinDBPoolSize(), 0);
  EXPECT_EQ(pool->GetMaxDBPoolSize(), 0);
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
  EXPECT_TRUE(Contains(message, "line 1")) << message;
  Write("<?xml version=\"1.0\"?>\n<cfgxml>\n  <DBConnectionPool DBName=\"x\" \n</cfgxml>\n");
  message = LoadError();
  EXPECT_TRUE(Contains(message, path)) << message;
  EXPECT_TRUE(Contains(message, "not well-formed")) << message;
  EXPECT_TRUE(Contains(message, "line 4")) << message;
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
