#pragma once

#include <gtest/gtest.h>

#include "IDBOperator.h"
#include "TComPtr.h"
#include "TDBConnPool.h"
#include "TDBOperator.h"
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

/// Instantiates a suite of TEST_P cases for the given backends, named after
/// them.
#define TESMIRA_BACKENDS(suite, ...)                                               \
  INSTANTIATE_TEST_SUITE_P(Backends, suite, ::testing::Values(__VA_ARGS__),        \
                           [](const ::testing::TestParamInfo<TestBackend>& info) { \
                             return std::string(TestBackendName(info.param));      \
                           })

/// The embedded database through the sqlite3 backend and through ODBC, and
/// the test server through ODBC.
#define TESMIRA_ALL_BACKENDS(suite) \
  TESMIRA_BACKENDS(suite, TestBackend::Sqlite3, TestBackend::Odbc, TestBackend::Postgres)
