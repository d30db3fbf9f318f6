#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Adds every row of the first sheet of the workbook at path as a new customer of the group:
// each gets its own GUID, and each of the fields the value of the sheet's column of the same
// name (an empty cell stays empty); other columns are left empty. All rows go in within one
// transaction, or none. progress is told the number of rows stored so far, now and then.
// Returns the number of rows imported. Raises EUserError or EDBException on failure.
int ImportCustomers(const QString& path, const QStringList& fields, int group,
                    const std::function<void(int rows)>& progress = {});

// How often the import reports its progress, in rows.
inline constexpr int kImportProgressRows = 2000;
