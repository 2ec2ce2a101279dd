#pragma once

#include <string>

class IDBOperator;

/// A transaction as a guard object: made, it begins a transaction on the
/// operator's connection; Commit() stores what was written; destroyed
/// without a commit (an error left the scope) it rolls everything back.
///
/// Inside a transaction that is already open (a save that is part of a
/// larger one, an import, a retried insert) the guard sets a savepoint
/// instead: its rollback undoes only what was written since, and leaves the
/// outer transaction usable on every backend (PostgreSQL refuses every
/// statement of a transaction after a failed one until it is rolled back to
/// a savepoint); its commit leaves the decision to the outer transaction.
///
/// A guard made with `kReleaseOnCommit` also lets its savepoint (and those
/// set under it) go when it commits: an import holds thousands of saves in
/// one transaction, and SQLite checks every open savepoint on each page it
/// writes, so kept savepoints make an import quadratic. SQL Server has no
/// release; its savepoints end with the transaction.
class TTransaction {
 public:
  enum TRelease { kKeepSavepoint, kReleaseOnCommit };
  explicit TTransaction(IDBOperator* op, TRelease release = kKeepSavepoint);
  ~TTransaction();
  TTransaction(const TTransaction&) = delete;
  TTransaction& operator=(const TTransaction&) = delete;

  void Commit();
  /// Undoes what was written under the guard now; a failure to reach the
  /// database is left to the caller's own error (the server rolls back a
  /// transaction whose connection died).
  void Rollback();
  /// True when the guard is a savepoint inside an outer transaction.
  bool Nested() const { return !savepoint_.empty(); }

 private:
  /// Lets the savepoint's number go to the next guard: the guard is done.
  void GiveBackNumber();

  IDBOperator* op_;
  std::string savepoint_;
  int number_ = 0;  // the savepoint's number while this guard holds it
  TRelease release_;
  bool open_ = true;
};
