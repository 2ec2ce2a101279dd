#include <fcntl.h>
#include <linux/fs.h>
#include <sqlite3.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "DbBackendTest.h"
#include "Exceptions.h"
#include "TDataSet.h"
#include "WaitHook.h"

namespace {

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EDBException& e) {
    return e.Message();
  }
  return "(no error)";
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The faults a person or the system can cause, on both backends. Each ends in
// a clear error and leaves the rows as they were.
class FaultTest : public ::testing::TestWithParam<TestBackend> {
 protected:
  void SetUp() override {
    if (TDBConnPool* old = TDBConnPool::AccessInstance(0)) old->ReleaseInstance();
    pool = TDBConnPool::AccessInstance(1);
    db.Configure(*pool, GetParam());
    pool->SetTimeoutSeconds(1);
  }
  void TearDown() override {
    op = TComPtr<IDBOperator>();
    if (TDBConnPool::AccessInstance(0)) TDBConnPool::AccessInstance(0)->ReleaseInstance();
  }
  void Open() {
    pool->InitWithSettings(pool->GetDBName(), "", "", pool->GetSchema(), 1, 2);
    op = pool->CreateDBOperator();
    op->BindToThread(CurrentThreadId());
  }
  void PointAt(const std::string& file) {
    if (GetParam() == TestBackend::Sqlite3)
      pool->SetSchema(file);
    else
      pool->SetDBName(file);
  }

  TestDatabase db;
  TDBConnPool* pool = nullptr;
  TComPtr<IDBOperator> op;
};

// File faults: the embedded database through both of its paths.
TESMIRA_BACKENDS(FaultTest, TestBackend::Sqlite3, TestBackend::Odbc);

}  // namespace

TEST_P(FaultTest, DatabaseInAMissingDirectory) {
  const std::string file = db.Folder() + "/no-such-dir/test.db";
  PointAt(file);
  std::string message = ErrorOf([&] { Open(); });
  EXPECT_TRUE(Contains(message, file)) << message;
  EXPECT_EQ(pool->GetConnectionCount(), 0);
  EXPECT_FALSE(std::filesystem::exists(db.Folder() + "/no-such-dir"));
}

TEST_P(FaultTest, DatabaseLockedByAnotherProcessPastTheTimeout) {
  // The busy wait is its own short bound, not the command time-out.
  pool->SetTimeoutSeconds(10);
  pool->SetBusyTimeoutSeconds(2);
  Open();
  int ready[2], release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    sqlite3* raw = nullptr;
    sqlite3_open(db.Path().c_str(), &raw);
    int rc = sqlite3_exec(raw, "BEGIN EXCLUSIVE; insert into TJSampleType (ID) values (99)",
                          nullptr, nullptr, nullptr);
    char c = rc == SQLITE_OK ? 'k' : 'x';
    (void)!write(ready[1], &c, 1);
    (void)!read(release[0], &c, 1);
    _exit(0);  // ends without commit: the lock holder's change disappears
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'k');
  // The window layer's wait hook is called while the embedded file is waited for.
  static int s_waitCalls = 0;
  s_waitCalls = 0;
  const TWaitHook before = SetWaitHook([] { ++s_waitCalls; });
  const auto start = std::chrono::steady_clock::now();
  std::string message = ErrorOf(
      [&] { op->ExecSQL("insert into TJSampleType (ID, SampleTypeName) values (1, 'a')"); });
  SetWaitHook(before);
  if (GetParam() == TestBackend::Sqlite3) {
    EXPECT_GT(s_waitCalls, 0);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::cout << "[measured] locked file -> message after " << seconds << " s\n";
  EXPECT_GE(seconds, 1.5);
  // The SQLite ODBC driver (only the tests use it) waits once to prepare and
  // once to run.
  EXPECT_LT(seconds, GetParam() == TestBackend::Sqlite3 ? 3.5 : 5.5);
  EXPECT_TRUE(
      Contains(message, "数据库文件 " + db.Path() + " 正被其他程序锁定，等待 2 秒后仍未释放"))
      << message;
  (void)!write(release[1], &c, 1);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(Contains(message, "locked")) << message;
  EXPECT_EQ(db.QueryInt("select count(*) from TJSampleType"), 0);
  // Once the other process is gone the connection works again.
  op->ExecSQL("insert into TJSampleType (ID, SampleTypeName) values (1, 'a')");
  EXPECT_EQ(db.QueryInt("select count(*) from TJSampleType"), 1);
  for (int fd : {ready[0], ready[1], release[0], release[1]}) close(fd);
}

TEST_P(FaultTest, ReadOnlyDatabaseAskedToWrite) {
  db.Exec("insert into TJSampleType (ID, SampleTypeName) values (1, 'a')");
  // Root ignores permission bits, so the file is made immutable instead.
  int fd = ::open(db.Path().c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  int flags = 0;
  bool immutable = false;
  if (geteuid() == 0) {
    if (ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) GTEST_SKIP() << "no file attributes here";
    int set = flags | FS_IMMUTABLE_FL;
    if (ioctl(fd, FS_IOC_SETFLAGS, &set) != 0) GTEST_SKIP() << "cannot make the file immutable";
    immutable = true;
  } else {
    chmod(db.Path().c_str(), 0444);
  }
  std::string message;
  try {
    Open();
    EXPECT_EQ(op->OpenQuery("select count(*) as c from TJSampleType")->FieldByName("c").AsInteger(),
              1);
    message = ErrorOf([&] { op->ExecSQL("update TJSampleType set SampleTypeName = 'b'"); });
  } catch (...) {
    if (immutable) ioctl(fd, FS_IOC_SETFLAGS, &flags);
    throw;
  }
  if (immutable) ioctl(fd, FS_IOC_SETFLAGS, &flags);
  close(fd);
  chmod(db.Path().c_str(), 0644);
  EXPECT_TRUE(Contains(message, "readonly")) << message;
  EXPECT_TRUE(Contains(message, "数据库文件 " + db.Path() + " 不能写入")) << message;
  EXPECT_TRUE(Contains(message, db.Folder())) << message;
  EXPECT_EQ(db.QueryText("select SampleTypeName from TJSampleType"), "a");
}

TEST_P(FaultTest, DatabaseFileRemovedBetweenTwoStatements) {
  Open();
  op->ExecSQL("insert into TJSampleType (ID, SampleTypeName) values (1, 'a')");
  // A second name for the same file lets the test look at it afterwards.
  const std::string keep = db.Folder() + "/kept.db";
  ASSERT_EQ(link(db.Path().c_str(), keep.c_str()), 0);
  ASSERT_EQ(unlink(db.Path().c_str()), 0);
  std::string message = ErrorOf(
      [&] { op->ExecSQL("insert into TJSampleType (ID, SampleTypeName) values (2, 'b')"); });
  EXPECT_TRUE(Contains(message, "与数据库的连接已断开")) << message;
  EXPECT_TRUE(Contains(message, db.Path())) << message;
  EXPECT_TRUE(Contains(ErrorOf([&] { op->OpenQuery("select * from TJSampleType"); }),
                       "与数据库的连接已断开"));
  EXPECT_TRUE(Contains(ErrorOf([&] { op->BeginTrans(); }), "与数据库的连接已断开"));
  // Put back under its name, the file shows that nothing was written.
  ASSERT_EQ(rename(keep.c_str(), db.Path().c_str()), 0);
  EXPECT_EQ(db.QueryInt("select count(*) from TJSampleType"), 1);
}

// Inside a transaction the commit is what checks the file: a transaction
// whose file went away while it was open is refused whole.
TEST_P(FaultTest, DatabaseFileRemovedWhileATransactionIsOpen) {
  Open();
  op->ExecSQL("insert into TJSampleType (ID, SampleTypeName) values (1, 'a')");
  const std::string keep = db.Folder() + "/kept.db";
  ASSERT_EQ(link(db.Path().c_str(), keep.c_str()), 0);
  op->BeginTrans();
  op->ExecSQL("insert into TJSampleType (ID, SampleTypeName) values (2, 'b')");
  ASSERT_EQ(unlink(db.Path().c_str()), 0);
  try {
    op->ExecSQL("insert into TJSampleType (ID, SampleTypeName) values (3, 'c')");
  } catch (const EDBException&) {
    // Refusing the statement itself is as good.
  }
  std::string message = ErrorOf([&] { op->CommitTrans(); });
  EXPECT_TRUE(Contains(message, "与数据库的连接已断开")) << message;
  EXPECT_TRUE(Contains(message, db.Path())) << message;
  op->RollbackTrans();
  ASSERT_EQ(rename(keep.c_str(), db.Path().c_str()), 0);
  EXPECT_EQ(db.QueryInt("select count(*) from TJSampleType"), 1);
}

TEST_P(FaultTest, UnknownProviderIsNamed) {
  pool->SetProvider("Oracle");
  std::string message = ErrorOf([&] { Open(); });
  EXPECT_TRUE(Contains(message, "Oracle")) << message;
}
