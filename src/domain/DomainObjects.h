#pragma once

/// The domain's process-wide objects: the item catalogue (TItemManager),
/// the category cache (TCategoryManager), the sample types (TSampleType)
/// and the mnemonic converter (TCommon).
class TBaseDBConnPool;
struct TCurrentUser;

namespace DomainObjects {

/// The pool the catalogue's objects share (the library's own, or the one
/// the host lent).
TBaseDBConnPool* SharedPool();
/// The user the host has logged in, or null without a host.
const TCurrentUser* HostUser();

/// Frees each of them that exists, the category cache before the catalogue
/// whose entries its categories list. Part of unloading the library: no
/// catalogue entry, category or sample type may be used afterwards; a later
/// Instance() makes a fresh object.
void ReleaseProcessObjects();

}  // namespace DomainObjects
