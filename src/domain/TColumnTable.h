#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "Format.h"

/// The column values of one row as text, in the table's column order:
/// what the history records and what a restore puts back.
using TColumnValues = std::vector<std::pair<std::string, std::string>>;

/// The stored columns of a fields struct, each named as its column and
/// reached through a member pointer, so that one table gives both the
/// values as text and their assignment from text. Numbers are written in
/// decimal, flags as 1 and 0, amounts with two decimals (as stored).
template <class Fields>
class TColumnTable {
 public:
  using Member =
      std::variant<std::string Fields::*, int32_t Fields::*, bool Fields::*, double Fields::*>;
  struct Column {
    const char* name;
    Member member;
  };

  explicit TColumnTable(std::vector<Column> columns) : columns_(std::move(columns)) {}

  void AppendValues(const Fields& fields, TColumnValues& values) const {
    for (const Column& column : columns_) values.emplace_back(column.name, Text(fields, column));
  }

  /// Assigns `text` to the column named `name`; false when there is none.
  bool Assign(Fields& fields, const std::string& name, const std::string& text) const {
    for (const Column& column : columns_) {
      if (name != column.name) continue;
      std::visit([&](auto member) { Parse(fields.*member, text); }, column.member);
      return true;
    }
    return false;
  }

 private:
  static std::string Text(const Fields& fields, const Column& column) {
    return std::visit([&](auto member) { return Show(fields.*member); }, column.member);
  }
  static std::string Show(const std::string& value) { return value; }
  static std::string Show(int32_t value) { return std::to_string(value); }
  static std::string Show(bool value) { return value ? "1" : "0"; }
  static std::string Show(double value) { return FormatText("%f", {value}); }
  static void Parse(std::string& value, const std::string& text) { value = text; }
  // from_chars: the stored text is the C format whatever the locale.
  static void Parse(int32_t& value, const std::string& text) {
    value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
  }
  static void Parse(bool& value, const std::string& text) { value = text == "1"; }
  static void Parse(double& value, const std::string& text) {
    value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
  }

  std::vector<Column> columns_;
};
