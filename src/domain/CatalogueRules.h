#pragma once

#include <string>

#include "Exceptions.h"
#include "TWriteRules.h"

/// The checks every catalogue write shares, in one place for the windows and
/// any other writer (an import) alike.
namespace CatalogueRules {

/// The add right of each kind of entry: storing a new entry adds it, so it
/// needs this right as well as the right to save.
inline constexpr const char* kCategoryAdd = "TJXT201001";
inline constexpr const char* kItemAdd = "TJXT202001";
inline constexpr const char* kCombItemAdd = "TJXT203001";
inline constexpr const char* kCheckSetAdd = "TJXT204001";

/// Refuses (ETJItemException, as a window refuses a command without its
/// right) an insert by a user without `addRight`. A write
/// without a user is the library's own and asks no right.
void RequireAddRight(TWriteAction action, const TWriteContext& context, const char* addRight);

/// A name as it is stored: without the blanks (spaces, tabs, the full-width
/// space a Chinese input method types) before and after it. A name of
/// blanks only becomes empty, which the entry's own check refuses.
std::string TrimmedName(const std::string& name);

/// Refuses a name another entry has: `message` names it ("%s" takes the
/// name).
void RefuseTakenName(bool taken, const std::string& message, const std::string& name);

}  // namespace CatalogueRules
