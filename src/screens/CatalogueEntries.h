#pragma once

#include <functional>

class QWidget;
class TBaseItem;

/// What the windows do to an entry of the item catalogue when they save or
/// delete it, in one place.
namespace CatalogueEntries {

/// The windows' one save (EntryWrites::Save) of an entry of the item
/// catalogue: 2 inserted (the catalogue takes the entry from then on), 3
/// updated, 0 refused by a rule (shown as a hint).
int Save(QWidget* parent, TBaseItem* entry, const std::function<void()>& readFields);

/// Entries a delete took out of the catalogue. Trees and member lists of
/// other open windows may still point at them, so, like every catalogue
/// object, they live as long as the library: they are kept until it
/// unloads (ReleaseRetired). Keeps `entry` (now owned by nobody else).
void KeepRetired(TBaseItem* entry);
/// Takes `entry` out of the catalogue and keeps it; false (and nothing
/// done) when the catalogue does not hold it.
bool Retire(TBaseItem* entry);
/// Frees the kept entries, in the order they were retired. Part of
/// unloading the library, before the catalogue goes: a freed composite lets
/// go of its members, and a composite is always retired before any of its
/// members can be (a referenced entry cannot be deleted).
void ReleaseRetired();

}  // namespace CatalogueEntries
