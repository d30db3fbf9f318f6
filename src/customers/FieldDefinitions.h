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
// True when a definition of this very name exists.
bool TitleExists(const QString& name);
// The definition of that name; empty when there is none.
TFieldDefinition LoadTitle(const QString& name);

// Each stores the definition row and changes its column of Customer in one transaction: any
// failure leaves both as they were and raises the database error. A name that equals another
// column of Customer in any letter case is refused before anything runs.
void AddTitle(const TFieldDefinition& field);
// The column keeps its values under the new name; a change of kind or flags leaves it alone.
void ModifyTitle(const QString& oldName, const TFieldDefinition& field);
void DropTitle(const QString& name);
