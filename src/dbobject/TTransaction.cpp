#include "TTransaction.h"

#include <vector>

#include "Format.h"
#include "IDBOperator.h"

namespace {

// Savepoint names only need to differ from those of the guards open around
// them (a name met twice means its latest savepoint, on every database). The
// smallest number no open guard of this thread holds is taken, so the same
// few names come back save after save and a connection that keeps its
// prepared statements parses each savepoint statement once.
thread_local std::vector<bool> t_heldNumbers;

int TakeSavepointNumber() {
  for (size_t i = 0; i < t_heldNumbers.size(); ++i) {
    if (!t_heldNumbers[i]) {
      t_heldNumbers[i] = true;
      return static_cast<int>(i + 1);
    }
  }
  t_heldNumbers.push_back(true);
  return static_cast<int>(t_heldNumbers.size());
}

}  // namespace

TTransaction::TTransaction(IDBOperator* op, TRelease release) : op_(op), release_(release) {
  if (op_->GetInTransaction()) {
    number_ = TakeSavepointNumber();
    savepoint_ = FormatText("tesmira_sp%d", {number_});
    // T-SQL's form; the dialects of the other databases write SAVEPOINT.
    op_->ExecSQL("SAVE TRANSACTION " + savepoint_);
  } else {
    op_->BeginTrans();
  }
}

TTransaction::~TTransaction() {
  GiveBackNumber();
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
  GiveBackNumber();
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
  GiveBackNumber();
  if (!Nested()) {
    op_->RollbackTrans();
  } else if (op_->GetInTransaction()) {
    op_->ExecSQL("ROLLBACK TRANSACTION " + savepoint_);
  }
}

void TTransaction::GiveBackNumber() {
  if (number_ > 0 && static_cast<size_t>(number_) <= t_heldNumbers.size())
    t_heldNumbers[static_cast<size_t>(number_) - 1] = false;
  number_ = 0;
}
