#pragma once

#include <string>

#include "Exceptions.h"

/// How a write the database did not carry out is worded: from the kind of
/// its failure, decided by the database layer, never guessed from the text.
namespace WriteFailure {

/// The text for a lost connection, locked data or no right to write, with
/// `action` ("保存", "删除") naming what was not done. Empty for refused data
/// and other failures: their callers word those (a domain rule knows what a
/// refused delete of its entry means).
std::string Text(TDBErrorKind kind, const std::string& action);

/// Runs `write`; a database failure of a kind Text words gets that text in
/// front of the database's own, after "原因：".
template <class Write>
void Worded(const std::string& action, Write&& write) {
  try {
    write();
  } catch (EDBException& e) {
    const std::string text = Text(e.Kind, action);
    if (!text.empty()) e.SetMessage(text + "\r\n原因：" + e.Message());
    throw;
  }
}

}  // namespace WriteFailure
