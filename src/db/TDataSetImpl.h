#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "TDataSet.h"
#include "TRawBuffer.h"

/// Storage of a TDataSet (private to the database layer). Rows are kept
/// compact: all cell texts of the result, GBK, back to back in one buffer,
/// and one 32-bit end offset per cell whose top bit marks a Null. A result of
/// 100 000 rows therefore costs one block for the texts and one for the
/// offsets instead of one heap string per field, and the blocks grow without
/// copying (TRawBuffer).
struct TDataSet::Impl {
  bool active = false;
  std::vector<std::string> names;
  std::unordered_map<std::string, int> index;  // upper-cased name -> column
  TCellBuffer text;
  TRawBuffer<uint32_t> ends;
  int rows = 0;
  int cursor = 0;
  /// The rows' order when it was applied after reading (TClientOrder):
  /// row r of the result is stored row order[r]. Empty: the stored order.
  std::vector<int> order;

  static constexpr uint32_t kNullBit = 0x80000000u;

  /// Empties the set and marks it closed; its large blocks are kept for the
  /// next result unless `keepBlocks` is false.
  void Clear(bool keepBlocks = true);
  /// Starts a new result with these column names (GBK); the set becomes
  /// active and empty. Later names equal to earlier ones (ignoring case) do
  /// not shadow the first.
  void BeginResult(std::vector<std::string> columnNames);
  /// Appends the next cell, row by row; `gbk` is ignored when `isNull`.
  void AddCell(std::string_view gbk, bool isNull) {
    if (!isNull) text.append(gbk.data(), gbk.size());
    PushEnd(isNull);
  }
  /// Appends a cell whose text the caller already wrote into `text`.
  void PushEnd(bool isNull) {
    if (text.size() >= kNullBit) ThrowTooLarge();
    ends.push_back(static_cast<uint32_t>(text.size()) | (isNull ? kNullBit : 0));
  }
  /// Counts the row just completed by AddCell calls.
  void EndRow() { ++rows; }
  /// Releases spare capacity once the result is complete (in place).
  void Finish();

  int Columns() const { return static_cast<int>(names.size()); }
  std::string_view Cell(int row, int column) const {
    size_t i = static_cast<size_t>(Stored(row)) * names.size() + column;
    uint32_t end = ends[i] & ~kNullBit;
    uint32_t begin = i == 0 ? 0 : ends[i - 1] & ~kNullBit;
    return std::string_view(text.data() + begin, end - begin);
  }
  bool CellIsNull(int row, int column) const {
    return (ends[static_cast<size_t>(Stored(row)) * names.size() + column] & kNullBit) != 0;
  }
  /// The stored row shown as result row `row`.
  int Stored(int row) const { return order.empty() ? row : order[static_cast<size_t>(row)]; }
  /// Column of `name` ignoring ASCII case, or -1.
  int Find(std::string_view name) const;
  /// Bytes held by the rows (texts and offsets), for memory figures.
  size_t RowBytes() const { return text.capacity() + ends.capacity() * sizeof(uint32_t); }

 private:
  [[noreturn]] static void ThrowTooLarge();
};
