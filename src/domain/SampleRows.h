#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "Format.h"
#include "IDBOperator.h"
#include "TDBObjectList.h"
#include "TDataSet.h"
#include "TSingleComm.h"

/// The list loading shared by sample types and sample groups: the rows of
/// "Select <fields> from <table> Where <where> Order By <order>" (an empty
/// `where` takes the object's own condition) replace the list's entries, one
/// new `Row` on the shared pool per row, at most `maxCount` (-1: all).
template <class Row>
void LoadSampleRows(IDBOperator& op, Row& self, const std::string& where, TDBObjectList& list,
                    int32_t maxCount) {
  TDataSet* rows =
      op.OpenQuery(FormatSql("Select %s from %s Where %s Order By %s",
                             {self.GetFieldList(), self.GetTableName(),
                              where.empty() ? self.GetWhere() : where, self.GetOrderBy()}));
  list.Clear();
  TBaseDBConnPool* pool = TSingleComm::Instance().GetConnPool();
  int32_t appended = 0;
  for (rows->First(); !rows->Eof(); rows->Next()) {
    if (maxCount != -1 && appended >= maxCount) break;
    auto row = std::make_unique<Row>(pool);
    row->LoadFromDataSet(op.GetDataSet());
    list.Add(row.release());
    ++appended;
  }
}
