#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "DbBackendTest.h"
#include "Exceptions.h"

namespace fs = std::filesystem;

namespace {

// A temporary installation folder holding a copy of the probe (where the
// plug-in library would be) and, when asked, a copy of the fake DB.so.
class SiblingLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::path(db.Folder()) / "install";
    other = fs::path(db.Folder()) / "elsewhere";
    fs::create_directories(folder);
    fs::create_directories(other);
    oldDir = fs::current_path();
  }
  void TearDown() override {
    fs::current_path(oldDir);
    if (probe) dlclose(probe);
  }
  void InstallSibling(const fs::path& where) {
    fs::copy_file(TESMIRA_TEST_SIBLING, where / "DB.so", fs::copy_options::overwrite_existing);
  }
  void LoadProbe() {
    fs::copy_file(TESMIRA_TEST_PROBE, folder / "libtesmira.so");
    probe = dlopen((folder / "libtesmira.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(probe, nullptr) << dlerror();
  }
  template <class F>
  F Get(const char* name) {
    void* symbol = dlsym(probe, name);
    EXPECT_NE(symbol, nullptr) << name;
    return reinterpret_cast<F>(symbol);
  }
  bool SiblingLoaded() {
    void* h = dlopen((folder / "DB.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (h) dlclose(h);
    return h != nullptr;
  }

  TestDatabase db;
  fs::path folder, other, oldDir;
  void* probe = nullptr;
};

}  // namespace

TEST_F(SiblingLibraryTest, BesideThePluginItIsLoadedUsedAndUnloaded) {
  InstallSibling(folder);
  LoadProbe();
  fs::current_path(other);
  Get<void (*)()>("ProbeBind")();
  EXPECT_EQ(std::string(Get<const char* (*)()>("ProbeLibraryPath")()), (folder / "DB.so").string());
  EXPECT_NE(Get<void* (*)()>("ProbeHandle")(), nullptr);
  EXPECT_TRUE(Get<bool (*)()>("ProbeLoadedByUs")());
  EXPECT_TRUE(SiblingLoaded());
  auto create =
      reinterpret_cast<IDBOperator* (*)()>(Get<void* (*)()>("ProbeCreateDBOperatorEntry")());
  ASSERT_NE(create, nullptr);
  // The sibling's operator is used by position like the system's own.
  TDBConnPool* pool = db.UseAsLibraryPoolThrough(TestBackend::Sqlite3);
  void* sibling = dlopen((folder / "DB.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
  reinterpret_cast<void (*)(TBaseDBConnPool*)>(dlsym(sibling, "InitDLL"))(pool);
  {
    TComPtr<IDBOperator> op = create();
    op->BindToThread(CurrentThreadId());
    op->ExecSQL("insert into TJSampleType (ID, SampleTypeName) values (1, '尿液')");
  }
  dlclose(sibling);
  EXPECT_EQ(db.QueryText("select SampleTypeName from TJSampleType"), U8(u8"尿液"));
  Get<void (*)()>("ProbeUnbind")();
  EXPECT_EQ(Get<void* (*)()>("ProbeHandle")(), nullptr);
  EXPECT_FALSE(SiblingLoaded());
}

TEST_F(SiblingLibraryTest, AlreadyLoadedByTheHostStaysLoaded) {
  InstallSibling(folder);
  void* host = dlopen((folder / "DB.so").c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(host, nullptr);
  LoadProbe();
  Get<void (*)()>("ProbeBind")();
  EXPECT_EQ(Get<void* (*)()>("ProbeHandle")(), host);
  EXPECT_FALSE(Get<bool (*)()>("ProbeLoadedByUs")());
  Get<void (*)()>("ProbeUnbind")();
  EXPECT_TRUE(SiblingLoaded());
  dlclose(host);
  EXPECT_FALSE(SiblingLoaded());
}

TEST_F(SiblingLibraryTest, ASiblingOnlyInTheCurrentDirectoryIsNotFound) {
  InstallSibling(other);
  LoadProbe();
  fs::current_path(other);
  Get<void (*)()>("ProbeBind")();
  EXPECT_EQ(Get<void* (*)()>("ProbeHandle")(), nullptr);
  EXPECT_EQ(Get<void* (*)()>("ProbeCreateDBOperatorEntry")(), nullptr);
  EXPECT_FALSE(Get<bool (*)()>("ProbeLoadedByUs")());
  Get<void (*)()>("ProbeUnbind")();
}

// A host that loads the library by a relative name and then changes its
// working directory: the library still finds its own folder.
TEST_F(SiblingLibraryTest, ALibraryLoadedByARelativeNameKeepsItsFolder) {
  InstallSibling(folder);
  fs::create_directories(folder / "cfg");
  std::ofstream(folder / "cfg" / "cfg.config")
      << R"(<cfgxml><DBConnectionPool DBName="beside" MinDBPoolSize="0" MaxDBPoolSize="2"/></cfgxml>)";
  fs::copy_file(TESMIRA_TEST_PROBE, folder / "libtesmira.so");
  fs::current_path(folder);
  probe = dlopen("./libtesmira.so", RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(probe, nullptr) << dlerror();
  fs::current_path(other);
  Get<void (*)()>("ProbeBind")();
  EXPECT_EQ(std::string(Get<const char* (*)()>("ProbeLibraryPath")()),
            (fs::canonical(folder) / "DB.so").string());
  EXPECT_TRUE(Get<bool (*)()>("ProbeLoadedByUs")());
  char text[512];
  EXPECT_TRUE(Get<bool (*)(char*, size_t)>("ProbeLoadConfig")(text, sizeof text)) << text;
  EXPECT_EQ(std::string(text), "beside|2");
  Get<void (*)()>("ProbeUnbind")();
}

TEST_F(SiblingLibraryTest, ConfigurationIsReadBesideTheLibraryNotTheCurrentDirectory) {
  LoadProbe();
  auto load = Get<bool (*)(char*, size_t)>("ProbeLoadConfig");
  char text[512];
  fs::create_directories(other / "cfg");
  std::ofstream(other / "cfg" / "cfg.config")
      << R"(<cfgxml><DBConnectionPool DBName="wrong" MinDBPoolSize="0" MaxDBPoolSize="1"/></cfgxml>)";
  fs::current_path(other);
  EXPECT_FALSE(load(text, sizeof text));
  EXPECT_EQ(std::string(text), "找不到配置文件 .\\cfg\\cfg.config");
  fs::create_directories(folder / "cfg");
  std::ofstream(folder / "cfg" / "cfg.config")
      << R"(<?xml version="1.0"?><cfgxml><DBConnectionPool DBName=" TJ" MinDBPoolSize="0" MaxDBPoolSize="7"/></cfgxml>)";
  EXPECT_TRUE(load(text, sizeof text)) << text;
  EXPECT_EQ(std::string(text), " TJ|7");
}

TEST_F(SiblingLibraryTest, SharedContextMakesAndInitialisesThePoolOnFirstUse) {
  LoadProbe();
  auto shared = Get<int (*)(int, char*, size_t)>("ProbeSharedPool");
  char text[512];
  EXPECT_EQ(shared(1, text, sizeof text), -1);
  EXPECT_EQ(std::string(text), "找不到配置文件 .\\cfg\\cfg.config");
  // A relative Schema names a database file beside the library.
  fs::copy_file(db.Path(), folder / "tesmira.db");
  fs::create_directories(folder / "cfg");
  std::ofstream(folder / "cfg" / "cfg.config")
      << R"(<cfgxml><DBConnectionPool Provider="SQLite" Schema="tesmira.db" MinDBPoolSize="2" )"
         R"(MaxDBPoolSize="3"/></cfgxml>)";
  fs::current_path(other);
  EXPECT_EQ(shared(3, text, sizeof text), 2) << text;  // initialised once
}
