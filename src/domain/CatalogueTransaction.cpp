#include "CatalogueTransaction.h"

#include "CatalogueHistory.h"
#include "CatalogueVersion.h"
#include "DomainObjects.h"
#include "IDBOperator.h"
#include "TBaseDBConnPool.h"
#include "TComPtr.h"
#include "TSingleComm.h"
#include "TTransaction.h"
#include "ThreadId.h"

struct TCatalogueTransaction::Impl {
  TComPtr<IDBOperator> op;
  std::unique_ptr<TTransaction> guard;
};

TCatalogueTransaction::TCatalogueTransaction() : impl_(std::make_unique<Impl>()) {
  impl_->op = TComPtr<IDBOperator>(DomainObjects::SharedPool()->CreateDBOperator());
  impl_->op->BindToThread(CurrentThreadId());
  // The stamp table is made (when missing) before the transaction, as a
  // single save does, and raised first so the write lock is taken at once.
  CatalogueVersion::Prepare(impl_->op.get());
  CatalogueHistory::Prepare(impl_->op.get());
  impl_->guard = std::make_unique<TTransaction>(impl_->op.get());
  CatalogueVersion::Raise(impl_->op.get());
}

TCatalogueTransaction::~TCatalogueTransaction() = default;

void TCatalogueTransaction::Commit() {
  impl_->guard->Commit();
}

void TCatalogueTransaction::Rollback() {
  impl_->guard->Rollback();
}
