#include "StoredValueCheck.h"

#include <cctype>
#include <string>
#include <string_view>

#include "Exceptions.h"
#include "Format.h"
#include "FuzzCheck.h"
#include "FuzzDatabase.h"
#include "GbkText.h"
#include "TDataSet.h"

using FuzzCheck::Require;

namespace {

// The text without the white space around it, as a result set trims it.
std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

// Runs `convert`; only EDBException may refuse.
template <class Convert>
void RequireConvertsOrRefuses(Convert&& convert, const char* what, std::string_view input) {
  try {
    convert();
  } catch (const EDBException&) {
  } catch (const std::exception& e) {
    Require(false, std::string(what) + " raised another error: " + e.what(), input);
  }
}

}  // namespace

void CheckStoredValue(std::string_view input) {
  const std::string text(input);
  // A statement ends at a NUL byte, and only valid GBK keeps its bytes on
  // the way to UTF-8.
  const bool storable =
      text.find('\0') == std::string::npos && GbkText::FromUtf8(GbkText::ToUtf8(text)) == text;
  if (!storable) return;
  TComPtr<IDBOperator> op = FuzzDatabase::Instance().NewOperator();
  TDataSet* rows = op->OpenQuery(FormatSql("SELECT '%s' AS v", {text}));
  const TField field = rows->FieldByName("v");
  Require(field.AsString() == text, "a quoted text reads back unchanged", input);
  RequireConvertsOrRefuses([&] { field.AsFloat(); }, "AsFloat", input);
  RequireConvertsOrRefuses([&] { field.AsBoolean(); }, "AsBoolean", input);
  RequireConvertsOrRefuses([&] { field.AsDateTime(); }, "AsDateTime", input);
  RequireConvertsOrRefuses([&] { field.AsInteger(); }, "AsInteger", input);
  if (const auto integer = FuzzCheck::PlainInteger(Trimmed(text)))
    Require(field.AsInteger() == *integer, "a plain 32-bit integer reads as its value", input);
}
