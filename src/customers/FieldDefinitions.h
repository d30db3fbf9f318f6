#pragma once

#include "data/DataSet.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// The kinds of custom fields, as stored in AppTitle.TitleType.
enum TFieldKind {
    kTextField = 0,
    kPickField = 1,
    kMemoryField = 2,
    kDateField = 3,
    kNumberField = 4
};

// One custom field definition: a row of AppTitle.
struct TFieldDefinition {
    QString Name;
    QString Values;
    int Kind = kTextField;
    bool Required = false;
    bool Unique = false;
};

// Every definition, in order of creation.
QList<TFieldDefinition> ReadFieldDefinitions();
// The custom field names in order of creation.
QStringList TitleNames();
// The custom field names joined by ","; empty when there are none.
QString JoinTitleNames();
// The definitions' list: name, kind number, default, and "是" or "否" for each flag.
SqlStatement TitleListStatement();

// The stored default of a date field that shows the day the editor opens.
inline const QString kTodayDefault = QStringLiteral("date()");
// The short date text of the user's locale, its year always with four digits: how a date
// field's fixed default is stored.
QString ShortDateText(const QDate& date);
QString ShortDateFormat();
// A stored date, as YYYY-MM-DD or as ShortDateText writes it; invalid when the text is no date.
QDate ParseFieldDate(const QString& text);

// The separator that ends every preset of a drop-down field's stored list.
inline const QString kPresetSeparator = QStringLiteral("%#%");
// How many times token occurs in text, overlapping occurrences included.
int CountToken(const QString& text, const QString& token);
// The piece of text in front of the first token; the piece and the token leave text. Without a
// token the whole text is the piece.
QString TakeToken(QString& text, const QString& token);
// The presets of a stored list: "A%#%%#%B%#%" gives A, an empty one and B.
QStringList ReadPresets(const QString& stored);

// The names the user sees for the five kinds, in kind order, and a kind's help text. An
// unknown kind has neither.
QStringList KindNames();
QString KindName(int kind);
QString KindHelp(int kind);

// The stored list of presets: every line followed by "%#%", an empty line included.
QString PresetText(const QStringList& lines);

// Stops with its message when the name is exactly one of the fixed fields' names.
void CheckReservedName(const QString& name);
// True when a definition of this name exists, Latin letters in any case.
bool TitleExists(const QString& name);
// The definition of that name; empty when there is none.
TFieldDefinition LoadTitle(const QString& name);

// Each stores the definition row and changes its column of Customer in one transaction: any
// failure leaves both as they were and raises the database error. Before anything runs, the name
// is trimmed and refused when it is reserved, too long or (when adding) taken by a definition,
// or when it equals another column of Customer in any letter case; a default or preset longer
// than the column holds is refused too.
void AddTitle(const TFieldDefinition& field);
// The column keeps its values under the new name; a change of kind or flags leaves it alone.
void ModifyTitle(const QString& oldName, const TFieldDefinition& field);
void DropTitle(const QString& name);
