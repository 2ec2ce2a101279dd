#pragma once

#include <memory>
#include <string>
#include <vector>

class TestPgClient;

/// The throw-away PostgreSQL cluster of one test process: `initdb` into a
/// new temporary folder, the server started with its own port, listening
/// only on a Unix socket in that folder (no network), run as the `postgres`
/// user when the tests run as root. It is started on first use and stopped
/// and removed when the process ends. A keeper process (its own session, deaf
/// to interrupts) waits for the test process to go: when a test crashes or
/// is interrupted or killed, it stops the server and removes the folder.
class TestServer {
 public:
  /// The server, started on first call. Raises std::runtime_error (with the
  /// server's log) when it cannot start; later calls raise the same.
  static TestServer& Instance();
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  const std::string& SocketFolder() const { return folder_; }
  int Port() const { return port_; }
  /// A new database holding sql/postgresql/schema.sql (copied from a
  /// template made once); returns its name.
  std::string NewDatabase();
  /// Drops a database, closing whatever connections it still has.
  void DropDatabase(const std::string& name);
  /// Stops the server in immediate mode (as a crash or a power cut ends it:
  /// connections die, open transactions are lost) and starts it again.
  void RestartImmediately();

 private:
  TestServer();
  void StartKeeper();
  void InitCluster();
  void Start();
  void Stop(const char* mode);
  void MakeTemplate();
  /// Runs a server program (as `postgres` when root) to its end, output
  /// appended to `log`; raises with the log's end when it fails.
  void RunProgram(const std::string& program, const std::vector<std::string>& args,
                  const std::string& log);

  std::string folder_;
  int port_ = 0;
  int keeperPipe_ = -1;  // write end; the keeper acts when it closes
  bool running_ = false;
  int nextDatabase_ = 0;
  std::unique_ptr<TestPgClient> admin_;
};
