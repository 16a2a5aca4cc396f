// What makes a change of a directory's entries durable: a rename or a new
// file or directory is only on disk for good once its directory is synced.
// And the clean-up of super-journals that SQLite leaves behind after a
// crash in a commit across directories.
#pragma once

#include <string>

namespace recman {

// fsync of a directory; false when it cannot be opened or synced.
bool SyncDirectory(const std::string& directory);
// Syncs the directory that holds `path`.
bool SyncParentDirectory(const std::string& path);
// Tests watch the directory syncs through this (nullptr: nobody watches).
void SetDirectorySyncObserver(void (*observer)(const std::string& directory));

// Removes the super-journals ("records.db-mj…") beside `database` that no
// child journal can refer to any more: those whose listed journals are all
// gone. A super-journal one of whose journals still exists (maybe hot,
// waiting for its rollback) decides whether that transaction committed and
// stays. Returns the number removed.
int RemoveStaleSuperJournals(const std::string& database);

}  // namespace recman
