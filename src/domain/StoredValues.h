#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

struct TItemFields;
struct TCategoryFields;
struct TSampleGroupFields;

/// What a catalogue object remembers of its row: a stamp (64 bits, an
/// FNV-style multiply and rotate over 8-byte words) over the values it read
/// or wrote last, so that a save can tell, inside
/// its own transaction, whether another window or desk changed the row
/// since, without keeping a second copy of every catalogue entry.
namespace StoredValues {

/// Stamps one value after another; each text is closed by its length, so
/// ("ab", "c") and ("a", "bc") differ. The stamp is kept in memory only,
/// never stored: it need only agree with itself within a process.
class TStamp {
 public:
  TStamp& Add(std::string_view text);
  TStamp& Add(int64_t number);
  TStamp& Add(double number);
  uint64_t Value() const { return hash_; }

 private:
  void Word(uint64_t word);
  uint64_t hash_ = 14695981039346656037ull;
};

/// The stamp of the columns an item's row stores (ItemsString included;
/// Remark and SampleTypeName are not stored).
uint64_t Of(const TItemFields& values, const std::string& itemsString);
uint64_t Of(const TCategoryFields& values);
uint64_t Of(const TSampleGroupFields& values);

/// What a refused save did not store: one line per field the user's values
/// (`typed`) give otherwise than the row now holds (`stored`), as
/// "单价：12.5（现在为 10）"; empty when they agree.
std::string Unsaved(const TItemFields& typed, const std::string& typedItems,
                    const TItemFields& stored, const std::string& storedItems);

}  // namespace StoredValues
