#pragma once

#include <string>

class IDBOperator;

/// Export "CreateDBOperator" of the sibling library: a new, unbound operator
/// whose count is 0 until the first TComPtr takes it.
using TCreateDBOperatorFunc = IDBOperator* (*)();

/// The binding to the sibling database library DB.so beside the plug-in
/// library. Bind runs once when the plug-in loads and Unbind when it
/// unloads; a missing library or export is not an error (the entries stay
/// null).
namespace SiblingLibrary {

/// Builds the path beside the plug-in, takes an already loaded module of
/// that path or loads it, and looks up "InitDLL", "DBConnectionPool" and
/// "CreateDBOperator".
void Bind();
/// Unloads the library when Bind loaded it; clears the binding.
void Unbind();
/// The "CreateDBOperator" entry, or null.
TCreateDBOperatorFunc CreateDBOperatorEntry();
/// The "InitDLL" and "DBConnectionPool" entries (looked up, never called).
void* InitDLLEntry();
void* DBConnectionPoolEntry();
/// True when Bind loaded the library itself.
bool LoadedByUs();
/// The module handle, or null.
void* Handle();
/// The full path of DB.so beside the plug-in (empty when unbound).
const std::string& LibraryPath();

}  // namespace SiblingLibrary
