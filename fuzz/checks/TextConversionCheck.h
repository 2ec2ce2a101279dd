#pragma once

#include <string_view>

/// The GBK <-> UTF-8 conversions (GbkText, the result sets' table path
/// TCellText, the Qt bridge QtText), with the input read both as GBK and as
/// UTF-8: every valid GBK text round-trips (also through QString), GBK
/// always becomes well-formed UTF-8, well-formed UTF-8 round-trips, whatever
/// the conversion writes as GBK survives the trip to UTF-8 and back, the
/// table path writes the same bytes as the converter, and the name order of
/// the SQLite connections (TCellText::CompareAsGbk, on the two texts the
/// input's first NUL separates) is the order of the GBK bytes with ASCII
/// letters compared without case.
void CheckTextConversion(std::string_view input);
