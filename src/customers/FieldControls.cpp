#include "customers/FieldControls.h"

#include "controls/VoskFloatIntEdit.h"
#include "data/Clock.h"
#include "data/DbAccess.h"
#include "data/Exceptions.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>

namespace {

constexpr int kColumns = 3;
constexpr int kTop = 20;
constexpr int kRowHeight = 38;
constexpr int kLeft = 2;
constexpr int kColumnWidth = 200;
constexpr int kLabelWidth = 72;
constexpr int kControlOffset = 78;
constexpr int kControlWidth = 121;
constexpr int kControlHeight = 20;
const char* const kRequiredProperty = "fieldRequired";
const char* const kUniqueProperty = "fieldUnique";
const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

QDate DateOrToday(const QString& text) {
    const QDate date = ParseFieldDate(text);
    return date.isValid() ? date : Now().date();
}

void Colour(QWidget* control, const QColor& colour) {
    if (!colour.isValid())
        return;
    QPalette palette = control->palette();
    palette.setColor(QPalette::Base, colour);
    control->setPalette(palette);
    if (auto* box = qobject_cast<QComboBox*>(control); box && box->lineEdit())
        box->lineEdit()->setPalette(palette);
}

QComboBox* NewComboBox(QWidget* parent, const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    if (box->count() > 0)
        box->setCurrentIndex(0);
    return box;
}

// Every value the field holds among the customers, an empty one for those without a value;
// values that differ only in the case of Latin letters are one value.
QStringList StoredValues(const QString& field) {
    QStringList values;
    for (TDataSet& rows = DbAccess().OpenAuxQuery("select DISTINCT ifnull(" + QuoteIdent(field) +
                                                  ", '') collate nocase from Customer");
         !rows.Eof(); rows.Next())
        values << rows.AsString(0);
    return values;
}

QWidget* NewControl(QWidget* parent, const TFieldDefinition& field) {
    switch (field.Kind) {
    case kTextField: {
        auto* edit = new QLineEdit(field.Values, parent);
        edit->setCursorPosition(0);
        return edit;
    }
    case kPickField:
        return NewComboBox(parent, ReadPresets(field.Values));
    case kMemoryField: {
        QComboBox* box = NewComboBox(parent, StoredValues(field.Name));
        if (box->count() == 0)
            box->setEditText(field.Values);
        return box;
    }
    case kDateField: {
        auto* picker = new QDateEdit(parent);
        picker->setDisplayFormat(kDateFormat);
        picker->setCalendarPopup(true);
        picker->setDate(field.Values == kTodayDefault ? Now().date() : DateOrToday(field.Values));
        return picker;
    }
    case kNumberField: {
        auto* edit = new TVoskFloatIntEdit(parent);
        edit->SetTextType(TVoskFloatIntEdit::FloatText);
        edit->SetZF(true);
        edit->setText(field.Values);
        return edit;
    }
    default:
        return nullptr;
    }
}

bool IsTextControl(const QWidget* control) {
    return qobject_cast<const QLineEdit*>(control) || qobject_cast<const QComboBox*>(control);
}

} // namespace

QString ShortDateFormat() {
    static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
    return QLocale().dateFormat(QLocale::ShortFormat).replace(twoDigitYear, "yyyy");
}

QString ShortDateText(const QDate& date) {
    return QLocale().toString(date, ShortDateFormat());
}

QDate ParseFieldDate(const QString& text) {
    const QString trimmed = text.trimmed();
    for (const char* format : {"yyyy-MM-dd", "yyyy-M-d", "yyyy/M/d", "yyyy.M.d"})
        if (const QDate date = QDate::fromString(trimmed, QString::fromLatin1(format));
            date.isValid())
            return date;
    return QLocale().toDate(trimmed, ShortDateFormat());
}

QList<TFieldDefinition> ReadFieldDefinitions() {
    QList<TFieldDefinition> fields;
    for (TDataSet& rows = DbAccess().OpenQuery(
             "select TitleName,TitleValues,TitleType,Titlebt,Titlewy from APPTitle");
         !rows.Eof(); rows.Next())
        fields.append({rows.AsString(0), rows.AsString(1), rows.AsInteger(2),
                       rows.AsInteger(3) != 0, rows.AsInteger(4) != 0});
    return fields;
}

QColor FlagColour(bool required, bool unique) {
    if (required && unique)
        return QColor(254, 189, 177);
    if (required)
        return QColor(248, 242, 139);
    if (unique)
        return QColor(137, 239, 234);
    return QColor();
}

int CountToken(const QString& text, const QString& token) {
    int count = 0;
    for (qsizetype at = text.indexOf(token); at >= 0 && !token.isEmpty();
         at = text.indexOf(token, at + 1))
        ++count;
    return count;
}

QString TakeToken(QString& text, const QString& token) {
    const qsizetype at = text.indexOf(token);
    if (at < 0)
        return std::exchange(text, QString());
    const QString piece = text.left(at);
    text.remove(0, at + token.size());
    return piece;
}

QStringList ReadPresets(const QString& stored) {
    QString rest = stored;
    QStringList presets;
    const int count = CountToken(stored, kPresetSeparator);
    for (int taken = 0; taken <= count && !rest.isEmpty(); ++taken)
        presets << TakeToken(rest, kPresetSeparator);
    return presets;
}

void BuildFieldControls(QWidget* parent) {
    int row = 0;
    int column = 0;
    int number = 0;
    int bottom = 0;
    for (const TFieldDefinition& field : ReadFieldDefinitions()) {
        const int y = kTop + kRowHeight * row;
        const int x = kLeft + kColumnWidth * column;
        if (++column == kColumns) {
            column = 0;
            ++row;
        }
        ++number;
        auto* label = new QLabel(field.Name, parent);
        label->setObjectName(QStringLiteral("Label%1").arg(number));
        label->setGeometry(x, y + 2, kLabelWidth, label->sizeHint().height());
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        bottom = std::max(bottom, label->geometry().bottom());
        QWidget* control = NewControl(parent, field);
        if (!control)
            continue;
        control->setObjectName(QStringLiteral("Ctrl%1").arg(number));
        control->setToolTip(field.Name);
        control->setAccessibleName(field.Name);
        control->setProperty(kRequiredProperty, field.Required);
        control->setProperty(kUniqueProperty, field.Unique);
        Colour(control, FlagColour(field.Required, field.Unique));
        const bool fitsFont = field.Kind == kTextField || field.Kind == kNumberField;
        control->setGeometry(x + kControlOffset, y, kControlWidth,
                             fitsFont ? control->sizeHint().height() : kControlHeight);
        label->setBuddy(control);
        bottom = std::max(bottom, control->geometry().bottom());
    }
    parent->setMinimumSize(kLeft + kColumnWidth * kColumns, bottom + kTop);
}

QList<QWidget*> FieldControls(const QWidget* parent) {
    QList<QWidget*> controls;
    for (QWidget* child : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (child->objectName().startsWith(QStringLiteral("Ctrl")))
            controls << child;
    return controls;
}

QString FieldName(const QWidget* control) {
    return control->toolTip();
}

QString FieldValue(const QWidget* control) {
    if (auto* picker = qobject_cast<const QDateEdit*>(control))
        return picker->date().toString(kDateFormat);
    if (auto* box = qobject_cast<const QComboBox*>(control))
        return box->currentText();
    if (auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    return QString();
}

void SetFieldValue(QWidget* control, const QString& value) {
    if (auto* picker = qobject_cast<QDateEdit*>(control))
        picker->setDate(DateOrToday(value));
    else if (auto* box = qobject_cast<QComboBox*>(control))
        box->setEditText(value);
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(value);
}

void CheckRequiredFields(const QWidget* panel) {
    for (const QWidget* control : FieldControls(panel))
        if (IsTextControl(control) && control->property(kRequiredProperty).toBool() &&
            FieldValue(control).isEmpty())
            Fail(FieldName(control) + QStringLiteral("不能为空！"));
}

void CheckUniqueFields(const QWidget* panel, const QString& guid, bool excludeSelf) {
    for (const QWidget* control : FieldControls(panel))
        if (control->property(kUniqueProperty).toBool())
            CheckUniqueValue(FieldValue(control), FieldName(control), guid, excludeSelf);
}

void CheckUniqueValue(const QString& value, const QString& fieldName, const QString& guid,
                      bool excludeSelf) {
    const QString column = QuoteIdent(fieldName);
    const int count =
        excludeSelf
            ? ExecScalarSql("select Count(*) from Customer where " + column +
                                "=? collate nocase and [GUID]<>?",
                            {value, guid})
            : ExecScalarSql("select Count(*) from Customer where " + column + "=? collate nocase",
                            {value});
    if (count > 0)
        Fail(QStringLiteral("标题名称 ") + fieldName + QStringLiteral(" 输入的信息 ") + value +
             QStringLiteral(" 已经存在，不能重复输入！"));
}
