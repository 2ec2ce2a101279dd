#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "TDataSetImpl.h"

/// The name order of a query applied on the client instead of the server.
///
/// The windows read whole tables in name order, and PostgreSQL has no
/// collation with GBK byte order: the server computes an order key per row
/// (tesmira_gbk, a GB18030 conversion) and sorts on it, which costs far more
/// than sending the rows (for 55 000 rows about 300 ms against 2 ms unordered;
/// an expression index on the keys still costs an index scan of the whole
/// table). The rows arrive here converted to GBK already, so the GBK order is
/// a byte comparison: a statement whose ORDER BY names only columns of its
/// result is sent without it and its rows are sorted here, in the order the
/// embedded database gives (GBK bytes, single-byte letters without case;
/// numbers as numbers; Nulls last ascending and first descending, as the
/// server puts them).
class TClientOrder {
 public:
  struct Term {
    std::string Column;  // UTF-8, as written
    bool Descending = false;
  };

  /// For a single SELECT whose own ORDER BY is a list of plain column names
  /// (each with an optional ASC or DESC) that its select list (`*`, or the
  /// names themselves) returns, and nothing after the list but blanks and a
  /// `;`: the text without the ORDER BY (in `withoutOrder`) and the terms.
  /// Anything else (expressions, column numbers, LIMIT, UNION, DISTINCT,
  /// comments in the clause) gives no terms: the server orders.
  static std::vector<Term> Split(const std::string& utf8Sql, std::string& withoutOrder);

  /// Writes the rows of `rows` into `out` in the order of `terms`;
  /// `numeric[c]` is true for a column whose values compare as numbers.
  /// False (and `out` untouched) when a term names no column of the rows.
  static bool Apply(const std::vector<Term>& terms, const std::vector<bool>& numeric,
                    const TDataSet::Impl& rows, TDataSet::Impl& out);

  /// The GBK text order: byte order, single-byte ASCII letters without
  /// case (never a trail byte of a two- or four-byte character).
  static int CompareGbk(std::string_view a, std::string_view b);
};
