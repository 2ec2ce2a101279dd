#include "TDBConnPool.h"

#include "Exceptions.h"
#include "SingletonAccess.h"
#include "TDBConfigFile.h"
#include "TDBConnection.h"
#include "TDBOperator.h"

namespace {
TDBConnPool* g_pool = nullptr;
}

TDBConnPool::TDBConnPool() {
  throw Exception("Access class %s through GetDBConnPool only", {"TDBConnPool"});
}

TDBConnPool::TDBConnPool(PrivateTag) {}

TDBConnPool::~TDBConnPool() {
  if (g_pool == this) g_pool = nullptr;
  CloseConnections();
}

TDBConnPool* TDBConnPool::AccessInstance(int request) {
  return AccessSingleton(g_pool, request, [] { return new TDBConnPool(PrivateTag{}); });
}

void TDBConnPool::ReleaseInstance() {
  delete AccessInstance(0);
}

IDBOperator* TDBConnPool::CreateDBOperator() {
  return new TDBOperator();
}

IDBConnection* TDBConnPool::NewConnection() {
  TComPtr<TDBConnection> connection(new TDBConnection());
  connection->SetPlatform(platform_);
  connection->SetConnectionInfo(dbName_, dbUser_, password_, schema_);
  connection->Connect();
  std::lock_guard<std::recursive_mutex> guard(lock_);
  connections_.push_back(connection);
  return connection.get();
}

IDBConnection* TDBConnPool::GetConnection(int32_t threadId) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  const size_t existing = connections_.size();
  for (auto& c : connections_)
    if (c->GetThreadID() == threadId) return c.get();
  IDBConnection* chosen = nullptr;
  for (auto& c : connections_)
    if (c->GetThreadID() == -1) {
      chosen = c.get();
      break;
    }
  if (!chosen && maxSize_ > 0 && static_cast<size_t>(maxSize_) > existing) chosen = NewConnection();
  if (!chosen) throw EDBException("No Available DB Connection");
  chosen->SetThreadID(threadId);
  return chosen;
}

int32_t TDBConnPool::GetConnectionCount() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  return static_cast<int32_t>(connections_.size());
}

void TDBConnPool::ReleaseConnection(IDBConnection* connection) {
  if (connection) connection->SetThreadID(-1);
}

// The list is guarded by the lock, so that closing cannot pull a connection
// from under a thread that is choosing one.
void TDBConnPool::CloseConnections() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  for (auto& c : connections_) c->Disconnect();
  connections_.clear();
}

void TDBConnPool::LoadConfig(const pugi::xml_node* node) {
  TDBConfigFile::Load(*this, node);
}

void TDBConnPool::Init() {
  LoadConfig(nullptr);
  OpenInitialConnections();
}

void TDBConnPool::InitWithSettings(const std::string& dbName, const std::string& dbUser,
                                   const std::string& password, const std::string& schema,
                                   int32_t minSize, int32_t maxSize) {
  SetDBName(dbName);
  SetDBUser(dbUser);
  SetPassword(password);
  SetSchema(schema);
  SetMinDBPoolSize(minSize);
  SetMaxDBPoolSize(maxSize);
  OpenInitialConnections();
}

void TDBConnPool::OpenInitialConnections() {
  for (int32_t i = 0; i < minSize_; ++i) NewConnection();
}

namespace {
// The pooled connections go when the module goes (library unload or process
// end); the pool object itself is never destroyed by the library.
struct CloseAtUnload {
  ~CloseAtUnload() {
    if (g_pool) g_pool->CloseConnections();
  }
} g_closeAtUnload;
}  // namespace
