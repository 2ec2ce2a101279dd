#pragma once

#include <memory>

#include "IDBOperator.h"
#include "TComPtr.h"

class TestDatabase;

/// The database of the checks that go through the library's pool: one fresh
/// SQLite file for the process, made on first use, holding a small catalogue
/// (TJItem): examination items 000001, 000002, 000003 (twice: two rows with
/// that code), 000005; combination items 000010 and 000011; the check set
/// 000020. Writes are not synced to disk (the file is thrown away).
class FuzzDatabase {
 public:
  static FuzzDatabase& Instance();
  ~FuzzDatabase();

  /// A new operator on this thread's pooled connection.
  TComPtr<IDBOperator> NewOperator();

 private:
  FuzzDatabase();
  std::unique_ptr<TestDatabase> db_;
};
