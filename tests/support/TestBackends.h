#pragma once

#include <gtest/gtest.h>

#include <string>

#include "TestDatabase.h"

/// Instantiates a suite of TEST_P cases (a fixture taking TestBackend as
/// its parameter) for the given backends, named after them.
#define TESMIRA_BACKENDS(suite, ...)                                               \
  INSTANTIATE_TEST_SUITE_P(Backends, suite, ::testing::Values(__VA_ARGS__),        \
                           [](const ::testing::TestParamInfo<TestBackend>& info) { \
                             return std::string(TestBackendName(info.param));      \
                           })

/// The embedded database through the sqlite3 backend and through ODBC, and
/// the test server through ODBC.
#define TESMIRA_ALL_BACKENDS(suite) \
  TESMIRA_BACKENDS(suite, TestBackend::Sqlite3, TestBackend::Odbc, TestBackend::Postgres)
