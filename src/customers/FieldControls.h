#pragma once

#include "customers/Customer.h"
#include "customers/FieldDefinitions.h"

#include <QColor>
#include <QList>
#include <QString>

class QWidget;

// How a control shows its field's flags: light yellow required, light cyan unique, light salmon
// both; an invalid colour (the control's own) for neither.
QColor FlagColour(bool required, bool unique);

// Creates a label and an input control for every custom field inside parent, in rows of three,
// and makes parent large enough to hold them all.
void BuildFieldControls(QWidget* parent);
// The input controls BuildFieldControls made in parent, in the order of the definitions.
QList<QWidget*> FieldControls(const QWidget* parent);
// The field a control edits (its hint), and its value as stored: the text, a date as YYYY-MM-DD.
QString FieldName(const QWidget* control);
QString FieldValue(const QWidget* control);
// Shows a stored value; a date control shows today for a text that is no date.
void SetFieldValue(QWidget* control, const QString& value);

// The field of every control BuildFieldControls made in panel with its value, in their order.
QList<TFieldValue> FieldValues(const QWidget* panel);
