#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "TDateTime.h"

class TDataSet;

/// One field of the current row of a TDataSet, by value (a light handle).
/// Text is GBK. Numbers that a backend returns as text convert on read.
class TField {
 public:
  TField(const TDataSet* set, int column) : set_(set), column_(column) {}

  /// The text of the field; a Null reads as empty text.
  std::string AsString() const;
  /// The same text where the set keeps it, without a copy: valid until the
  /// set reads another result or closes.
  std::string_view AsView() const;
  /// The field as a 32-bit integer; Null reads as 0; text that is not a
  /// number raises EDBException naming the field.
  int32_t AsInteger() const;
  /// As AsInteger, 64-bit floating point.
  double AsFloat() const;
  /// Non-zero numbers and the texts "true"/"1" are true; Null is false.
  bool AsBoolean() const;
  /// A date column ("yyyy-mm-dd[ hh:mm:ss]" or a day count); Null reads as 0.
  TDateTime AsDateTime() const;
  bool IsNull() const;
  /// The column name as the query returned it.
  std::string FieldName() const;

 private:
  const TDataSet* set_;
  int column_;
};

/// The system's result set: every row is materialised when the query opens;
/// a cursor walks them. Closing empties it. One object belongs to each
/// statement and is reused by every query of that statement.
class TDataSet {
 public:
  TDataSet();
  ~TDataSet();
  TDataSet(const TDataSet&) = delete;
  TDataSet& operator=(const TDataSet&) = delete;

  bool Active() const;
  /// Empties the set; the memory of a large result is kept for the next one
  /// (fresh memory costs a page fault per 4 KiB).
  void Close();
  /// Empties the set and gives all its memory back: for a result whose rows
  /// were copied into objects that live on (a list load), where keeping the
  /// memory would cost a third again of the objects' own for as long as the
  /// process runs.
  void CloseAndFree();

  void First();
  void Next();
  bool Eof() const;
  bool IsEmpty() const;
  int RecordCount() const;
  /// 0-based position of the cursor (RecordCount() when past the end).
  int RecNo() const;

  int FieldCount() const;
  /// The field of the current row whose column name equals `name` without
  /// regard to ASCII case; raises EDBException "Field '<name>' not found".
  TField FieldByName(const std::string& name) const;
  /// As FieldByName, but returns false instead of raising.
  bool HasField(const std::string& name) const;
  TField Fields(int column) const;

  /// Storage, filled by the statement that opened the set (database layer).
  struct Impl;
  /// Made on first write: most persistent objects of a list load never open
  /// a set, and 100 000 of them need not each carry an empty one.
  Impl& Storage();
  const Impl& Storage() const;

 private:
  std::unique_ptr<Impl> impl_;
};
