#pragma once

#include <gtest/gtest.h>

#include "IDBOperator.h"
#include "TComPtr.h"
#include "TDBConnPool.h"
#include "TDBOperator.h"
#include "TestBackends.h"
#include "TestDatabase.h"
#include "ThreadId.h"

/// One suite, run through every backend: a fresh database of the backend's
/// kind, the library's pool on it, and an operator bound to the test's
/// thread.
class DbBackendTest : public ::testing::TestWithParam<TestBackend> {
 protected:
  void SetUp() override {
    pool = db.UseAsLibraryPoolThrough(GetParam(), 1, 5);
    op = pool->CreateDBOperator();
    op->BindToThread(CurrentThreadId());
  }

  /// A new operator bound to this thread.
  TComPtr<IDBOperator> NewOperator() {
    TComPtr<IDBOperator> other = pool->CreateDBOperator();
    other->BindToThread(CurrentThreadId());
    return other;
  }

  static IDBConnection* ConnectionOf(const TComPtr<IDBOperator>& o) {
    return static_cast<TDBOperator*>(o.get())->Connection();
  }

  TestDatabase db{GetParam()};
  TDBConnPool* pool = nullptr;
  TComPtr<IDBOperator> op;
};
