#pragma once

#include <string_view>

/// The configuration file reader (TDBConfigFile::LoadFile) on any file
/// content: it either loads or raises EDBException, never anything else;
/// malformed XML or a wrong document element changes no setting; the texts
/// are the attributes' text (well-formed UTF-8 read back unchanged); a pool
/// size is accepted exactly when it is a plain 32-bit decimal with an
/// optional sign, and a refused one leaves the settings read before it
/// changed and the ones after it untouched.
void CheckConfigFile(std::string_view input);
