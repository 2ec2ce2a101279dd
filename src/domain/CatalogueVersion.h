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
/// Whether the database has the stamp (after Prepare).
bool Available(IDBOperator* op);
/// The stamp now; 0 on a database without the table.
int64_t Read(IDBOperator* op);

}  // namespace CatalogueVersion
