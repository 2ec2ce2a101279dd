#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

/// Rows for one multi-row INSERT given as values, not as SQL text: the
/// statement's head up to VALUES (table and column names only) and each row's
/// values in column order. Text is GBK like every statement of the system;
/// numbers are whole numbers. The embedded database binds the values to one
/// prepared statement kept by its shape, skipping the text round trip a
/// literal statement makes (formatting, conversion, parsing); the other
/// backends run the same rows as one literal statement (`AsSql`), so what is
/// stored is the same on every backend.
class TInsertRows {
 public:
  using Value = std::variant<std::string, int64_t>;

  /// `head`: "INSERT INTO T (A, B)"; `columns`: how many values a row holds.
  TInsertRows(std::string head, size_t columns);

  /// Appends the next value, row after row.
  TInsertRows& Add(std::string text);
  TInsertRows& Add(int64_t number);

  const std::string& Head() const { return head_; }
  size_t Columns() const { return columns_; }
  size_t RowCount() const { return columns_ ? values_.size() / columns_ : 0; }
  const std::vector<Value>& Values() const { return values_; }

  /// The head with `?` for every value: " VALUES (?, ?), (?, ?)".
  std::string Shape() const;
  /// The same rows as one literal statement, quotes doubled.
  std::string AsSql() const;
  /// Raises EDBException unless every row is complete and there is one.
  void CheckComplete() const;

 private:
  std::string head_;
  size_t columns_;
  std::vector<Value> values_;
};
