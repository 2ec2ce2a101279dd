#pragma once

#include <functional>

class TBaseItem;

/// What the windows do to an entry of the item catalogue when they save or
/// delete it, in one place.
namespace CatalogueEntries {

/// Runs `readFields` (copying a window's fields into `entry`) and saves the
/// entry: 2 inserted (the catalogue takes the entry from then on), 3
/// updated. When reading or saving fails, the entry gets back the values it
/// had, since trees and lists show the catalogue's entries, and the error
/// propagates.
int Save(TBaseItem* entry, const std::function<void()>& readFields);

/// Entries a delete took out of the catalogue. Trees and member lists of
/// other open windows may still point at them, so, like every catalogue
/// object, they are never freed: they are kept until the process ends.
/// Keeps `entry` (now owned by nobody else).
void KeepRetired(TBaseItem* entry);
/// Takes `entry` out of the catalogue and keeps it; false (and nothing
/// done) when the catalogue does not hold it.
bool Retire(TBaseItem* entry);

}  // namespace CatalogueEntries
