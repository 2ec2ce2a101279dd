#pragma once

#include <string>

#include "TMDIChildClass.h"
#include "TesmiraExport.h"

class TApplication;
class IWinMain;
class TBaseDBConnPool;
class TMDIChild;

/// The four functions libtesmira.so exports. A host resolves them by name
/// (dlsym) with the function types below, or links the library.
extern "C" {
/// Initialises the library: the host interface, an optional lent pool, and
/// the application hand-over. Call once before the first CreateMDIChild.
TESMIRA_EXPORT void InitDLL(TApplication* application, IWinMain* host, TBaseDBConnPool* pool);
/// A new window of the class registered under `name`, or null.
TESMIRA_EXPORT TMDIChild* CreateMDIChild(const char* name, IWinMain* host);
/// The class registered under `name`, or null.
TESMIRA_EXPORT TMDIChildClass GetMDIChildClass(const char* name);
/// Sets `names` to every registered name, each followed by CR LF.
TESMIRA_EXPORT void GetClassNames(std::string& names);
}

/// The exports' types, for hosts that resolve them with dlsym.
using TInitDLLProc = void (*)(TApplication*, IWinMain*, TBaseDBConnPool*);
using TCreateMDIChildProc = TMDIChild* (*)(const char*, IWinMain*);
using TGetMDIChildClassProc = TMDIChildClass (*)(const char*);
using TGetClassNamesProc = void (*)(std::string&);
