#include "TestServer.h"

#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "TestPgClient.h"

extern char** environ;

namespace {

constexpr const char* kTemplate = "tesmira_template";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Tail(const std::string& path) {
  std::string text = ReadFile(path);
  return text.size() > 2000 ? text.substr(text.size() - 2000) : text;
}

bool IsRoot() {
  return geteuid() == 0;
}

// The server refuses to run as root: when the tests do, its programs run as
// the `postgres` user, who then owns the folder.
void HandOverToPostgres(const std::string& folder) {
  if (!IsRoot()) return;
  const passwd* user = getpwnam("postgres");
  if (!user) throw std::runtime_error("the tests run as root and there is no user 'postgres'");
  if (chown(folder.c_str(), user->pw_uid, user->pw_gid) != 0)
    throw std::runtime_error("cannot hand " + folder + " to the user postgres");
}

// Spawns `argv` with stdin from `input` (or /dev/null), output appended to
// `log` (or /dev/null) and no other descriptor, optionally in a session of
// its own; returns the child's pid.
pid_t Spawn(const std::vector<std::string>& argv, int input, const std::string& log,
            bool ownSession) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (input >= 0)
    posix_spawn_file_actions_adddup2(&actions, input, 0);
  else
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  const std::string out = log.empty() ? "/dev/null" : log;
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  if (ownSession) posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, args[0], &actions, &attr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) throw std::runtime_error("cannot start " + argv[0]);
  return pid;
}

std::string ServerProgram(const std::string& name) {
  const std::string path = std::string(TESMIRA_PG_BINDIR) + "/" + name;
  if (std::string(TESMIRA_PG_BINDIR).empty() || access(path.c_str(), X_OK) != 0)
    throw std::runtime_error("the PostgreSQL server programs were not found (" + path +
                             "); scripts/install-deps.sh installs them");
  return path;
}

}  // namespace

TestServer& TestServer::Instance() {
  static std::string failure;
  static std::unique_ptr<TestServer> server;
  if (!failure.empty()) throw std::runtime_error(failure);
  if (!server) {
    try {
      server.reset(new TestServer());
    } catch (const std::exception& e) {
      failure = std::string("the test database server did not start: ") + e.what();
      throw std::runtime_error(failure);
    }
  }
  return *server;
}

TestServer::TestServer() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tesmira-pg-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  folder_ = pattern;
  // Only the socket file carries the port (no network listener), so any
  // number is free; one per process keeps the names apart in logs.
  port_ = 20000 + static_cast<int>(getpid() % 40000);
  try {
    StartKeeper();
    HandOverToPostgres(folder_);
    InitCluster();
    Start();
    admin_ = std::make_unique<TestPgClient>(folder_, port_, "postgres");
    MakeTemplate();
  } catch (...) {
    if (running_) Stop("immediate");
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    if (keeperPipe_ >= 0) close(keeperPipe_);
    throw;
  }
}

TestServer::~TestServer() {
  admin_.reset();
  try {
    if (running_) Stop("fast");
  } catch (const std::exception&) {
    // the keeper stops it when the pipe closes
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
  if (keeperPipe_ >= 0) close(keeperPipe_);
}

// The keeper reads its end of a pipe that only this process writes; the
// read ends when this process ends, however it ends. It then stops whatever
// server runs on the folder and removes the folder. It also removes the log
// file of the PostgreSQL ODBC driver: the driver falls back to its installed
// defaults when its last connection closes, and Debian installs it with the
// communication log on (/tmp/psqlodbc_<program>_<user><pid>.log, a line per
// disconnect; the library's connections turn it off while they are open).
void TestServer::StartKeeper() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  static const char* const script =
      "trap '' INT TERM HUP QUIT PIPE\n"
      "cat >/dev/null\n"
      "pid=$(head -n 1 \"$1/data/postmaster.pid\" 2>/dev/null)\n"
      "if [ -n \"$pid\" ] && kill -QUIT \"$pid\" 2>/dev/null; then\n"
      "  while kill -0 \"$pid\" 2>/dev/null; do sleep 0.1; done\n"
      "fi\n"
      "rm -rf \"$1\"\n"
      "rm -f /tmp/psqlodbc_*_\"$2\".log\n";
  const passwd* user = getpwuid(getuid());
  const std::string driverLog = (user ? user->pw_name : "") + std::to_string(getpid());
  try {
    Spawn({"/bin/sh", "-c", script, "tesmira-pg-keeper", folder_, driverLog}, fds[0], "", true);
  } catch (...) {
    close(fds[0]);
    close(fds[1]);
    throw;
  }
  close(fds[0]);
  keeperPipe_ = fds[1];
}

void TestServer::RunProgram(const std::string& program, const std::vector<std::string>& args,
                            const std::string& log) {
  std::vector<std::string> argv;
  if (IsRoot()) argv = {"/usr/sbin/runuser", "-u", "postgres", "--"};
  argv.push_back(ServerProgram(program));
  argv.insert(argv.end(), args.begin(), args.end());
  const pid_t pid = Spawn(argv, -1, log, false);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error(program + " failed:\n" + Tail(log));
}

void TestServer::InitCluster() {
  RunProgram(
      "initdb",
      {"-D", folder_ + "/data", "-U", "postgres", "-A", "trust", "-E", "UTF8", "--no-locale", "-N"},
      folder_ + "/initdb.log");
}

void TestServer::Start() {
  // Nothing is flushed to disk: the cluster is thrown away at the end, and
  // a server stopped in immediate mode still finds every committed change
  // in the operating system's cache (commits still wait for their WAL to be
  // written, as the restart tests need).
  const std::string options = "-k '" + folder_ + "' -p " + std::to_string(port_) +
                              " -c listen_addresses='' -c fsync=off -c full_page_writes=off"
                              " -c max_connections=40";
  RunProgram("pg_ctl",
             {"-D", folder_ + "/data", "-l", folder_ + "/server.log", "-w", "-t", "120", "-s", "-o",
              options, "start"},
             folder_ + "/pg_ctl.log");
  running_ = true;
}

void TestServer::Stop(const char* mode) {
  running_ = false;
  RunProgram("pg_ctl", {"-D", folder_ + "/data", "-m", mode, "-w", "-t", "120", "-s", "stop"},
             folder_ + "/pg_ctl.log");
}

void TestServer::RestartImmediately() {
  Stop("immediate");
  Start();
}

void TestServer::MakeTemplate() {
  const std::string schema = ReadFile(TESMIRA_POSTGRESQL_SCHEMA);
  if (schema.empty()) throw std::runtime_error("cannot read " TESMIRA_POSTGRESQL_SCHEMA);
  admin_->Exec(std::string("CREATE DATABASE ") + kTemplate);
  TestPgClient(folder_, port_, kTemplate).Exec(schema);
}

std::string TestServer::NewDatabase() {
  const std::string name = "tesmira_" + std::to_string(++nextDatabase_);
  admin_->Exec("CREATE DATABASE " + name + " TEMPLATE " + kTemplate);
  return name;
}

void TestServer::DropDatabase(const std::string& name) {
  admin_->Exec("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
}
