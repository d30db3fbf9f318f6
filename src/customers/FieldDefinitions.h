#pragma once

#include "customers/FieldControls.h"

#include <QString>
#include <QStringList>

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
