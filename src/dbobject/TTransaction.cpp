#include "TTransaction.h"

#include <atomic>

#include "Format.h"
#include "IDBOperator.h"

namespace {

// Savepoint names only need to differ from those of the guards around them;
// a process-wide counter gives every guard its own.
std::string NextSavepointName() {
  static std::atomic<unsigned> counter{0};
  return FormatText("tesmira_sp%d", {static_cast<int>(++counter % 1000000)});
}

}  // namespace

TTransaction::TTransaction(IDBOperator* op, TRelease release) : op_(op), release_(release) {
  if (op_->GetInTransaction()) {
    savepoint_ = NextSavepointName();
    // T-SQL's form; the dialects of the other databases write SAVEPOINT.
    op_->ExecSQL("SAVE TRANSACTION " + savepoint_);
  } else {
    op_->BeginTrans();
  }
}

TTransaction::~TTransaction() {
  if (!open_) return;
  try {
    Rollback();
  } catch (...) {
    // Leaving by an error already: that error is the one the caller needs.
  }
}

void TTransaction::Commit() {
  if (!open_) return;
  open_ = false;
  if (!Nested())
    op_->CommitTrans();
  else if (release_ == kReleaseOnCommit)
    // Standard SQL, as SQLite and PostgreSQL take it; the SQL Server
    // connection leaves it out.
    op_->ExecSQL("RELEASE SAVEPOINT " + savepoint_);
}

void TTransaction::Rollback() {
  if (!open_) return;
  open_ = false;
  if (!Nested()) {
    op_->RollbackTrans();
  } else if (op_->GetInTransaction()) {
    op_->ExecSQL("ROLLBACK TRANSACTION " + savepoint_);
  }
}
