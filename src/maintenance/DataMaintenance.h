#pragma once

#include <QString>

// Backup, restore and clear of the data file, without windows. Restore and clear first copy the
// data file to the safety copy; failures raise EDBException with the sentence for the user.

// AppDir/tmpData.dat: the state before the last restore, clear or import, kept for recovery by
// hand. Each of them overwrites it.
QString SafetyCopyPath();
void TakeSafetyCopy();

// The chosen name with ".dat" appended, always: a chosen a.dat gives a.dat.dat.
QString BackupFileName(const QString& chosen);
// Writes a consistent copy of the data file to the chosen name + ".dat".
void BackupData(const QString& chosen);
// Reads the backup at path, takes the safety copy, puts the backup in place of the data file and
// logs it. The backup may be the safety copy itself. A file that is not a valid data file
// changes nothing and takes no safety copy.
void RestoreData(const QString& path);
// Takes the safety copy and deletes every customer, attached file and group in one transaction,
// which puts the "未分组" group back; custom fields, notes, reminders and settings stay.
void ClearData();
