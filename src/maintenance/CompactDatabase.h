#pragma once

#include <QString>

// Rewrites the data file at path into a compact copy of itself and puts the copy in its place.
// True when the copy replaced the file; on any failure the file stays as it was and the result
// is false, silently. The connection must be closed first, and this copy of the program must
// hold the program folder's lock. A link is followed and stays a link. The password stays with the
// file unchanged (SQLite keeps the file unencrypted).
bool CompactDataFile(const QString& path, const QString& password);
