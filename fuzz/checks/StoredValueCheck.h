#pragma once

#include <string_view>

/// Text values on their way into a statement and back out of a result set:
/// a text formatted between quotes by FormatSql (quotes doubled) is read
/// back unchanged from the database, whatever quotes or GBK it holds; and
/// the field conversions (AsInteger, AsFloat, AsBoolean, AsDateTime) of any
/// stored text either convert or raise EDBException, with a plain integer
/// read as its value.
void CheckStoredValue(std::string_view input);
