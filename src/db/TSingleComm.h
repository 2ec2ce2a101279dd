#pragma once

#include "IWinMain.h"
#include "TComPtr.h"

class TBaseDBConnPool;

/// The process-wide shared context: the host interface of the latest InitDLL
/// and the connection pool every domain object takes its operator from. It
/// lives until the process ends; nothing guards it (user-interface thread).
class TSingleComm {
 public:
  /// 0: the instance or null; 1: make it if missing; 2: forget it (returns
  /// null, destroys nothing). Any other request raises Exception
  /// "Illegal request %d in AccessInstance".
  static TSingleComm* AccessInstance(int request);
  static TSingleComm& Instance() { return *AccessInstance(1); }
  /// Frees the shared context and the library's own pool with its
  /// connections. The last step of unloading the library: after it no code
  /// of the library runs, so what "lives for the process" ends here instead
  /// of being lost with the unloaded module.
  static void ReleaseProcessObjects();

  TSingleComm() = default;
  ~TSingleComm();
  TSingleComm(const TSingleComm&) = delete;
  TSingleComm& operator=(const TSingleComm&) = delete;

  /// The pool; when none is held, the library's own pool is made and
  /// initialised from cfg/cfg.config. A pool handed in is used as it is.
  TBaseDBConnPool* GetConnPool();
  /// Makes `pool` the shared pool (not owned); null leaves the current one.
  void SetConnPool(TBaseDBConnPool* pool);
  /// Drops the pool reference (not the pool): the next GetConnPool makes and
  /// initialises the library's pool again. Tests use it to point the shared
  /// context at a fresh pool.
  void ForgetConnPool() { connPool_ = nullptr; }
  /// The pool held now, without making one.
  TBaseDBConnPool* ConnPool() const { return connPool_; }

  void SetWinMain(IWinMain* winMain) { winMain_ = winMain; }
  IWinMain* WinMain() const { return winMain_.get(); }

 private:
  TBaseDBConnPool* connPool_ = nullptr;
  TComPtr<IWinMain> winMain_;
};
