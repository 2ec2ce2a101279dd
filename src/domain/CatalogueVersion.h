#pragma once

#include <cstdint>

class IDBOperator;

/// The catalogue's change stamp: one row of TJCatalogueVersion that every
/// catalogue write raises in its own transaction. Reading it is the one
/// query a window needs to see whether another desk changed the catalogue
/// since it last looked.
namespace CatalogueVersion {

/// Before a write's transaction: makes sure the table exists (a database
/// made before it gets it, with its row). Asked once per database and
/// process; a database where it cannot be made is written without it.
void Prepare(IDBOperator* op);
/// The first statement of a write's transaction. Raising the stamp first
/// also takes the database's write lock before the write reads anything,
/// so two desks writing at once wait for each other instead of one being
/// refused ("database is locked") half-way.
void Raise(IDBOperator* op);
/// A write that raised the stamp committed: the raise was this process's.
void NoteCommitted(IDBOperator* op);
/// Whether the database has the stamp (after Prepare).
bool Available(IDBOperator* op);
/// The stamp now; 0 on a database without the table.
int64_t Read(IDBOperator* op);

/// What a reader of the catalogue saw of the stamp: its value and how many
/// times this process had raised it by then.
struct TSeen {
  int64_t version = -1;  // nothing seen yet
  uint64_t ownRaises = 0;
};
/// Remembers the stamp as it is now in `seen` (before a catalogue read).
void Remember(IDBOperator* op, TSeen& seen);
/// Whether the stamp moved since `seen` by more than this process's own
/// writes did: another desk wrote the catalogue. Remembers the stamp now.
/// One query. A save held in an outer transaction that was then rolled
/// back counts as a change elsewhere: the answer errs on the side of
/// reading again.
bool MovedElsewhere(IDBOperator* op, TSeen& seen);

}  // namespace CatalogueVersion
