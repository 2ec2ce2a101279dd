#pragma once

#include <string_view>

/// The script reader of tesmira-dbinit (TSqlScript) on any script text:
/// every batch holds code and no GO line; the statements of a batch hold all
/// of its code, in order (comments blanked, pieces without code dropped),
/// and each but the last is a complete statement to SQLite; every table
/// name read from a CREATE TABLE is not empty and occurs in the script.
void CheckSqlScript(std::string_view input);
