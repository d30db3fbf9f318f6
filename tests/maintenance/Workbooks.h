#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

// Writes a real .xlsx with libxlsxwriter: one sheet of rows, each cell by its value's type (a
// QString as a shared string, a number as a number, a QDate as a date shown "yyyy-mm-dd", a
// bool as a boolean, a null value as no cell). Further sheets follow when sheetNames says so.
void WriteXlsx(const QString& path, const QList<QVariantList>& rows,
               const QStringList& sheetNames = {"Sheet1"});

// A zip holding the members as they are, for workbooks written by hand.
void WriteZip(const QString& path, const QList<QPair<QString, QByteArray>>& members);
// The members an .xlsx needs around a sheet written by hand.
QList<QPair<QString, QByteArray>> HandWrittenWorkbook(const QByteArray& sheetXml,
                                                      const QByteArray& sharedStringsXml = {});
