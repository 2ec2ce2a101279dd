#pragma once

#include <string_view>

/// Result value formats (TComplexValue::Parse): the parse either succeeds or
/// raises EInvalidFormatError with one of its two messages; what it reads
/// spells the text again (prefix, then each "{name}" with its suffix), names
/// hold no "}" and the literal parts no "{" (braces as single-byte characters
/// only), two variables never touch, and a refused text leaves the previous
/// result in place.
void CheckValueFormat(std::string_view input);
