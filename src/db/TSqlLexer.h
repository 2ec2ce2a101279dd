#pragma once

#include <cstddef>
#include <string>
#include <string_view>

/// Lexical helpers for SQL text in UTF-8 (where no byte of a multi-byte
/// character looks like ASCII punctuation): tells quoted text and comments
/// apart from the statement itself, so that rewrites never touch a literal.
class TSqlLexer {
 public:
  /// When `pos` starts a literal ('...' with '' inside), a quoted name
  /// ("..." with "" inside, `...` with `` inside, or [...]) or a comment
  /// (-- to the line end, /* ... */), the position just after it; otherwise
  /// `pos` itself. An unterminated one runs to the end of the text. Quotes
  /// are read as SQLite reads them.
  static size_t SkipQuoted(std::string_view sql, size_t pos);
  /// True when the piece SkipQuoted skips at `pos` is a comment.
  static bool IsComment(std::string_view sql, size_t pos);
  static bool IsWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '@' || c == '#' || c == '$' || static_cast<unsigned char>(c) >= 0x80;
  }
  /// True when `sql` holds `word` at `pos` (ASCII case ignored) as a whole
  /// word.
  static bool WordAt(std::string_view sql, size_t pos, std::string_view word);
  /// True when `word` occurs anywhere in `sql`, ASCII case ignored, inside
  /// literals and comments too. Its absence proves a rewrite looking for the
  /// word has nothing to do, which spares a full lexing pass per statement.
  static bool MayHold(std::string_view sql, std::string_view word);
  /// Position of the first non-blank character at or after `pos`.
  static size_t SkipBlanks(std::string_view sql, size_t pos);
  /// The text without leading and trailing white space and control characters.
  static std::string Trim(std::string_view sql);
};
