#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "TBaseDBConnPool.h"
#include "TComPtr.h"
#include "TDBPlatform.h"

class TDBConnection;

/// The library's own connection pool, a process-wide singleton reached
/// through AccessInstance / GetDBConnPool. It opens MinDBPoolSize
/// connections at initialisation, more on demand up to MaxDBPoolSize, and
/// lends them per operating-system thread id: a thread gets the same
/// connection on every request.
///
/// Returned connections stay held by the pool (borrowed pointers); a new
/// operator has the count 0 until the first TComPtr takes it.
class TDBConnPool : public TBaseDBConnPool {
 public:
  /// Refuses: raises Exception "Access class TDBConnPool through
  /// GetDBConnPool only".
  TDBConnPool();
  ~TDBConnPool() override;

  /// 0: the instance or null; 1: make it if missing; 2: forget it (returns
  /// null, destroys nothing); else Exception "Illegal request %d in
  /// AccessInstance".
  static TDBConnPool* AccessInstance(int request);

  IDBOperator* CreateDBOperator() override;
  IDBConnection* NewConnection() override;
  /// Under the lock: the connection lent to the thread, else the first free
  /// one, else a new one while fewer than MaxDBPoolSize exist; otherwise
  /// EDBException "No Available DB Connection".
  IDBConnection* GetConnection(int32_t threadId) override;
  int32_t GetConnectionCount() override;
  TBaseDBConnPool* GetDBConnPool() override { return AccessInstance(1); }
  std::string GetDBName() override { return dbName_; }
  std::string GetDBUser() override { return dbUser_; }
  int32_t GetMaxDBPoolSize() override { return maxSize_; }
  int32_t GetMinDBPoolSize() override { return minSize_; }
  std::string GetPassword() override { return password_; }
  std::string GetSchema() override { return schema_; }
  /// Reads DBName, DBUser, Password, Schema, MinDBPoolSize, MaxDBPoolSize
  /// (each stored as soon as it is read), then the optional Provider and
  /// Driver, from the element or from cfg/cfg.config beside the library.
  void LoadConfig(const pugi::xml_node* node) override;
  void Init() override;
  void InitWithSettings(const std::string& dbName, const std::string& dbUser,
                        const std::string& password, const std::string& schema, int32_t minSize,
                        int32_t maxSize) override;
  void ReleaseConnection(IDBConnection* connection) override;
  void ReleaseInstance() override;
  void SetDBName(const std::string& v) override { dbName_ = v; }
  void SetDBUser(const std::string& v) override { dbUser_ = v; }
  void SetMaxDBPoolSize(int32_t v) override { maxSize_ = v; }
  void SetMinDBPoolSize(int32_t v) override { minSize_ = v; }
  void SetPassword(const std::string& v) override { password_ = v; }
  void SetSchema(const std::string& v) override { schema_ = v; }
  /// Disconnects and drops every pooled connection.
  void CloseConnections() override;

  /// Platform choice (not part of the contract): "SQLite", "ODBC", or
  /// empty / "SQLOLEDB.1" for SQL Server; and the ODBC driver.
  void SetProvider(const std::string& provider) { platform_.Provider = provider; }
  void SetDriver(const std::string& driver) { platform_.Driver = driver; }
  const std::string& GetProvider() const { return platform_.Provider; }
  const std::string& GetDriver() const { return platform_.Driver; }
  /// Command time-out in seconds for connections opened from now on (60).
  void SetTimeoutSeconds(int seconds) { platform_.TimeoutSeconds = seconds; }
  /// Connect time-out in seconds for connections opened from now on (10).
  void SetConnectTimeoutSeconds(int seconds) { platform_.ConnectTimeoutSeconds = seconds; }
  /// Busy wait on the embedded file in seconds (5; never above the command
  /// time-out).
  void SetBusyTimeoutSeconds(int seconds) { platform_.BusyTimeoutSeconds = seconds; }
  const TDBPlatform& Platform() const { return platform_; }

  /// The largest pool a configuration may ask for: every connection is a
  /// server's connection slot and a file descriptor.
  static constexpr int kMaxPoolSize = 64;
  /// Why MinDBPoolSize / MaxDBPoolSize cannot be used (Chinese, GBK), or
  /// empty: Min 0..64, Max 1..64, Min <= Max.
  static std::string SizeProblem(int32_t minSize, int32_t maxSize);

 private:
  struct PrivateTag {};
  explicit TDBConnPool(PrivateTag);
  void OpenInitialConnections();

  std::string dbName_;
  std::string dbUser_;
  int32_t maxSize_ = 0;
  int32_t minSize_ = 0;
  std::string password_;
  std::string schema_;
  std::recursive_mutex lock_;
  std::vector<TComPtr<TDBConnection>> connections_;
  TDBPlatform platform_;
};
