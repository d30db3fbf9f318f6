#pragma once

#include <QString>
#include <QStringList>

// The customer list as the main window asks for it, over the generated file: every custom
// field, oldest first.
QString CustomerListQuery(const QString& orderBy = QStringLiteral("新建时间"));
// The custom fields of the generated file, in the order of creation, and the numeric ones.
QStringList CustomFieldNames();
QStringList NumericFieldNames();

// The path of a data file holding count customers in 50 groups, each with 15 custom text
// fields (three numeric, with blanks and words mixed in). Written once into folder and reused:
// the same count always gives the same file.
QString CustomerFile(int count, const QString& folder);

// The path of a data file holding count kept messages, one every 30 seconds from 2023 on, to
// 100,000 numbers, by either way and in every state. Written once into folder and reused.
QString SmsLogFile(int count, const QString& folder);
