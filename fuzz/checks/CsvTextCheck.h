#pragma once

#include <string_view>

/// The catalogue file reader (TCsvText): any bytes, read with encoding
/// detection, parse without fault; record lines rise strictly and lie within
/// the text; no record is a lone empty field; and the records written back
/// (FormatRecord) parse to the same fields.
void CheckCsvText(std::string_view input);
