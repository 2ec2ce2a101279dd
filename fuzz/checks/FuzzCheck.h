#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

/// A property of a parser that an input broke. A fuzz target stops on it (so
/// libFuzzer keeps the input); the replay test reports it as a failure.
class FuzzFailure : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

/// Helpers shared by the property checks of the fuzz targets.
namespace FuzzCheck {

/// Raises FuzzFailure naming `what` and showing `input` unless `holds`.
void Require(bool holds, std::string_view what, std::string_view input);
/// The input cut at its first `count - 1` NUL bytes into `count` fields
/// (missing fields are empty; the last one keeps any further NUL).
std::vector<std::string> Fields(std::string_view input, size_t count);
/// The text with every byte outside printable ASCII written as \xNN.
std::string Shown(std::string_view text);
/// Bytes of the character at `pos` as the system's GBK parsers step: 1 for a
/// byte below 0x80, otherwise 2 (1 when only the lead byte is left).
size_t CharLength(std::string_view text, size_t pos);
/// Valid GBK: single bytes below 0x80 and pairs of a lead byte 0x81..0xFE
/// with a trail byte 0x40..0xFE other than 0x7F.
bool IsValidGbk(std::string_view text);
/// Well-formed UTF-8: shortest forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);
/// The value of a plain decimal with an optional sign ("+" or "-") that fits
/// 32 bits; nothing for any other text.
std::optional<int32_t> PlainInteger(std::string_view text);

}  // namespace FuzzCheck
