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

std::string TDBConnPool::SizeProblem(int32_t minSize, int32_t maxSize) {
  if (minSize < 0 || minSize > kMaxPoolSize)
    return FormatText("MinDBPoolSize 为 %d，应在 0 到 %d 之间", {minSize, kMaxPoolSize});
  if (maxSize < 1 || maxSize > kMaxPoolSize)
    return FormatText("MaxDBPoolSize 为 %d，应在 1 到 %d 之间", {maxSize, kMaxPoolSize});
  if (minSize > maxSize)
    return FormatText("MinDBPoolSize（%d）大于 MaxDBPoolSize（%d）", {minSize, maxSize});
  return {};
}

// A pool that cannot open its minimum closes what this start opened: those
// connections would hold server slots (and descriptors) while nobody can use
// the pool.
void TDBConnPool::OpenInitialConnections() {
  if (std::string problem = SizeProblem(minSize_, maxSize_); !problem.empty())
    throw EDBException("连接池的设置不能使用：" + problem);
  size_t before = 0;
  {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    before = connections_.size();
  }
  try {
    for (int32_t i = 0; i < minSize_; ++i) NewConnection();
  } catch (...) {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    for (size_t i = before; i < connections_.size(); ++i) connections_[i]->Disconnect();
    if (connections_.size() > before)
      connections_.erase(connections_.begin() + static_cast<ptrdiff_t>(before), connections_.end());
    throw;
  }
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
