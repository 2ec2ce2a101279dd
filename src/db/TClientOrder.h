#pragma once

#include <cstdint>
#include <functional>
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

  /// A key cell's kind, in the order kinds sort among themselves on the
  /// embedded database: Null, then numbers, then texts, then blobs.
  enum class CellClass : uint8_t { Null, Number, Text, Blob };
  /// Where Nulls go in an ascending order: first, as SQLite puts them, or
  /// last, as PostgreSQL does (a Null is its largest value).
  enum class NullPlace { First, Last };
  /// The kind of the key cell at (stored row, column); Null cells are known
  /// from the rows themselves and not asked for.
  using ClassOf = std::function<CellClass(int row, int column)>;

  /// Orders `rows` by `terms` in place, through the set's row order (no row
  /// is copied). Stable: rows with equal keys keep the order they were read
  /// in, as the databases' own sorts give them. Numbers compare as numbers
  /// (integers exactly), texts by CompareGbk, blobs by their bytes. False
  /// (and `rows` untouched) when a term names no column of the rows.
  static bool Sort(const std::vector<Term>& terms, const ClassOf& classOf, NullPlace nulls,
                   TDataSet::Impl& rows);

  /// The GBK text order: byte order, single-byte ASCII letters without
  /// case (never a trail byte of a two- or four-byte character).
  static int CompareGbk(std::string_view a, std::string_view b);
};
