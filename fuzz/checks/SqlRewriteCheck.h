#pragma once

#include <string_view>

/// The SQL text rewriting for SQLite (TSqliteDialect::Adapt, with and
/// without the GBK order of ORDER BY terms) and the batch parameter markers
/// (TSqlParameters::ToPositional), against SQLite's reading of quoted text
/// ('...' with '', "..." with "", `...` with ``, [...], -- to the line end,
/// /* ... */): the literals, quoted names and comments come out unchanged
/// and in order (an unterminated one stays unterminated), a text without
/// SELECT, DELETE, @@IDENTITY (or ORDER, for the GBK order) outside them is
/// not touched, and every parameter counted is one "?" more outside them.
void CheckSqlRewrite(std::string_view input);
