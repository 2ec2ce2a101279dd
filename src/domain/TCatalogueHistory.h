#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "TDBObject.h"

/// One row of TJCatalogueHistory: one column of one change.
struct THistoryRow {
  int64_t ChangeID = 0;
  int32_t Seq = 0;
  std::string ChangedAt;
  std::string OperatorName;
  std::string UserName;
  std::string Source;
  std::string TableName;
  std::string EntryKind;
  std::string EntryCode;
  std::string EntryName;
  std::string Action;
  std::string FieldName;
  std::string OldValue;
  std::string NewValue;
};

/// Which rows to read; an empty member does not filter.
struct THistoryFilter {
  /// "yyyy-mm-dd": from that day on / up to and including that day.
  std::string Since;
  std::string Until;
  std::string OperatorName;
  /// "类别", "项目", "组合项目", "套餐" or "试管".
  std::string EntryKind;
  std::string TableName;
  /// The entry's code exactly.
  std::string EntryCode;
  /// Part of the code or of the name, as typed: % and _ are plain
  /// characters here, not patterns.
  std::string CodeOrName;
  std::optional<int64_t> ChangeID;
};

/// The last change of one entry: who and when.
struct TLastChange {
  int64_t ChangeID = 0;
  std::string ChangedAt;
  std::string OperatorName;
  std::string UserName;
  std::string Source;
  std::string Action;
};

/// Reading the catalogue's history, and undoing one change of it through
/// the entries' own save and delete (their rules, their transaction, their
/// history).
class TCatalogueHistory : public TDBObject {
 public:
  TCatalogueHistory();
  explicit TCatalogueHistory(TBaseDBConnPool* pool);
  TESMIRA_DBOBJECT_FACTORIES(TCatalogueHistory)

  void InitObject() override;

  /// The rows of `filter`, newest change first, each change's columns in
  /// their order. Empty on a database without the table.
  std::vector<THistoryRow> Rows(const THistoryFilter& filter);
  /// The rows of one entry (`tableName` as stored: TJCategories, TJItem,
  /// TJSampleGroup; `code` as the history names it).
  std::vector<THistoryRow> RowsOf(const std::string& tableName, const std::string& code);
  /// Every operator the history names, once each, in the order of their
  /// GBK text (for the history window's choice of operator). Empty on a database without the
  /// table.
  std::vector<std::string> Operators();
  /// The last change of the entry, or none when it has no history.
  std::optional<TLastChange> LastChange(const std::string& tableName, const std::string& code);
  /// The rows of `filter` as CSV (header line first; fields quoted where
  /// they hold a comma, a quote or a line break). `utf8`: the text in UTF-8
  /// for other programs, else in the system's GBK.
  void WriteCsv(std::ostream& out, const THistoryFilter& filter, bool utf8 = true);

  /// Undoes change `changeID` through the entry's own save or delete, so the
  /// same checks (rights, duplicate names, references) apply and the undo
  /// is itself recorded: an update gets its old values back, a deleted
  /// entry is made again as it was (its key, code, members and exclusions),
  /// an inserted entry is deleted. Refused (EWriteRefused) when the change
  /// is unknown, when the entry is gone (or, for a delete, back already),
  /// or when a column it changed was changed again since.
  void Undo(int64_t changeID, const TWriteContext& context);
};
