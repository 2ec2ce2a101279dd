#include "CatalogueRules.h"

#include <algorithm>

#include "Format.h"
#include "UserRights.h"

namespace CatalogueRules {

void RequireAddRight(TWriteAction action, const TWriteContext& context, const char* addRight) {
  if (action != TWriteAction::Insert || !context.user) return;
  if (UserHasRight(context.user, addRight)) return;
  // Worded and raised as the windows refuse a command without its right.
  throw ETJItemException("您没有“%s”的权限（功能号 %s），请与管理员联系！", {"增加", addRight});
}

namespace {

// The length of the blank at `at` (GBK text): 1 for an ASCII blank, 2 for
// the full-width space (A1 A1), 0 for anything else.
size_t BlankAt(const std::string& text, size_t at) {
  const unsigned char c = static_cast<unsigned char>(text[at]);
  if (c == ' ' || c == '\t' || c == '\r' || c == '\n') return 1;
  if (c == 0xA1 && at + 1 < text.size() && static_cast<unsigned char>(text[at + 1]) == 0xA1)
    return 2;
  return 0;
}

}  // namespace

std::string TrimmedName(const std::string& name) {
  size_t begin = 0;
  while (begin < name.size() && BlankAt(name, begin)) begin += BlankAt(name, begin);
  // From the front, in whole characters, so the second byte of a double-byte
  // character is never taken for a blank.
  size_t end = begin;
  for (size_t at = begin; at < name.size();) {
    const size_t blank = BlankAt(name, at);
    const size_t step = blank ? blank : (static_cast<unsigned char>(name[at]) >= 0x81 ? 2 : 1);
    at += step;
    if (!blank) end = std::min(at, name.size());
  }
  return name.substr(begin, end - begin);
}

void RefuseTakenName(bool taken, const std::string& message, const std::string& name) {
  if (taken) throw EWriteRefused(FormatText(message, {name}));
}

}  // namespace CatalogueRules
