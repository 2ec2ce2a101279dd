#pragma once

#include <string_view>

/// Connection strings (TConnectionString), read back with the connection
/// string grammar (`key=value` pairs separated by ";", a value either plain
/// up to the next ";" or in braces with "}}" for "}"): every quoted value
/// reads back equal, and the OLE DB and ODBC strings hold exactly their own
/// keywords, in order, whatever the values. Input: password, user,
/// database, server and driver separated by NUL bytes.
void CheckConnectionString(std::string_view input);
