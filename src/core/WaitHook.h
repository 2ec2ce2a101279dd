#pragma once

/// A call the database layer makes, on the waiting thread, while it waits
/// for something that may take long (the embedded file's lock). The window
/// layer installs one to show what is awaited and keep its windows painted;
/// the database layer knows nothing of windows. Null: nothing is called.
using TWaitHook = void (*)();

/// Installs the hook (null removes it) and returns the one it replaces.
TWaitHook SetWaitHook(TWaitHook hook);
/// Calls the installed hook, if any.
void CallWaitHook();
