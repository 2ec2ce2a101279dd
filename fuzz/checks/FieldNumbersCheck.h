#pragma once

#include <string_view>

/// Numbers typed into the windows' fields (FieldConvert) and date texts
/// (TDateTime::Parse): an integer is accepted exactly when it is a plain
/// 32-bit decimal with an optional sign and blanks around it, with its
/// value; an accepted decimal number is finite and its shortest text reads
/// back as the same number; a refusal is Exception, nothing else; an
/// accepted date formats as a real date and time that reads back as the
/// same moment.
void CheckFieldNumbers(std::string_view input);
