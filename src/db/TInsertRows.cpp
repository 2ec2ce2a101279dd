#include "TInsertRows.h"

#include "Exceptions.h"
#include "Format.h"

TInsertRows::TInsertRows(std::string head, size_t columns)
    : head_(std::move(head)), columns_(columns) {}

TInsertRows& TInsertRows::Add(std::string text) {
  values_.emplace_back(std::move(text));
  return *this;
}

TInsertRows& TInsertRows::Add(int64_t number) {
  values_.emplace_back(number);
  return *this;
}

namespace {

// Writes the rows as " VALUES (a, b), (c, d)", each value as `write` says.
template <class WriteValue>
std::string Rows(const std::string& head, size_t columns, size_t count, WriteValue write) {
  std::string sql = head;
  sql += " VALUES ";
  for (size_t row = 0; row < count; ++row) {
    sql += row ? ", (" : "(";
    for (size_t column = 0; column < columns; ++column) {
      if (column) sql += ", ";
      write(sql, row * columns + column);
    }
    sql += ')';
  }
  return sql;
}

}  // namespace

std::string TInsertRows::Shape() const {
  return Rows(head_, columns_, RowCount(), [](std::string& sql, size_t) { sql += '?'; });
}

std::string TInsertRows::AsSql() const {
  return Rows(head_, columns_, RowCount(), [this](std::string& sql, size_t index) {
    if (const auto* text = std::get_if<std::string>(&values_[index]))
      sql += '\'' + QuoteDoubled(*text) + '\'';
    else
      sql += std::to_string(std::get<int64_t>(values_[index]));
  });
}

void TInsertRows::CheckComplete() const {
  if (columns_ == 0 || values_.empty() || values_.size() % columns_ != 0)
    throw EDBException(
        FormatText("INSERT 的值不完整：%d 个值，每行 %d 列",
                   {static_cast<int64_t>(values_.size()), static_cast<int64_t>(columns_)}));
}
