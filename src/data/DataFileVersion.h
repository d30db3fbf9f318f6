#pragma once

#include <QList>
#include <QString>

struct sqlite3;

// The data file's layout carries a version number, PRAGMA user_version: 0 for the first files.
// Step i of the list brings a file of version i to version i + 1, so the program knows as many
// versions as it has steps. Every table or index added later is one more step at the end of
// the list, together with the same change and the new version in schema/bookkeep.sql.
using TUpgradeStep = void (*)(sqlite3* db);
using TUpgradeSteps = QList<TUpgradeStep>;

// The program's own steps.
const TUpgradeSteps& DataFileUpgrades();
// The version of the files the program writes.
int KnownDataFileVersion(const TUpgradeSteps& steps = DataFileUpgrades());
int DataFileVersion(sqlite3* db);

// The reason to refuse a file written by a newer program (or carrying no version the program
// can read), as the user reads it; empty when the program knows the file's version.
QString DataFileVersionProblem(sqlite3* db, const TUpgradeSteps& steps = DataFileUpgrades());

// Brings an older file at path, open on db, up to the known version: first a copy of it is
// put beside it (UpgradeBackupPath), then every missing step and the new version number run
// in one transaction, so a failure or a kill leaves the file whole at its old version. A file
// of the known version is left as it is. Failures raise EDBException with the engine's or the
// system's text.
void UpgradeDataFile(sqlite3* db, const QString& path,
                     const TUpgradeSteps& steps = DataFileUpgrades());

// "<folder>/<base name>-v<version>-<yyyyMMddhhmmss>.dat", stamped with the program clock.
QString UpgradeBackupPath(const QString& path, int version);
