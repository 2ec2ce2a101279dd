#pragma once

#include <memory>

/// One transaction around many catalogue writes (an import): every save
/// made on this thread while it is open runs under a savepoint of its own,
/// so a refused row undoes only itself and the whole stands or falls at
/// Commit(). Destroyed without Commit() everything is rolled back, which is
/// how a preview applies a file and leaves the database as it was.
class TCatalogueTransaction {
 public:
  TCatalogueTransaction();
  ~TCatalogueTransaction();
  TCatalogueTransaction(const TCatalogueTransaction&) = delete;
  TCatalogueTransaction& operator=(const TCatalogueTransaction&) = delete;

  void Commit();
  void Rollback();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
