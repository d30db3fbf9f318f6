#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

class QDate;
class QWidget;

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

QList<TFieldDefinition> ReadFieldDefinitions();

// How a control shows its field's flags: light yellow required, light cyan unique, light salmon
// both; an invalid colour (the control's own) for neither.
QColor FlagColour(bool required, bool unique);

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

// Stops with "<field>不能为空！" at the first required text or drop-down field left empty.
void CheckRequiredFields(const QWidget* panel);
// Stops at the first unique field whose value another customer holds already, Latin letters in
// any case; with excludeSelf the customer keyed by guid does not count.
void CheckUniqueFields(const QWidget* panel, const QString& guid, bool excludeSelf);
void CheckUniqueValue(const QString& value, const QString& fieldName, const QString& guid,
                      bool excludeSelf);
