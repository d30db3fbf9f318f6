#include "customers/FieldControls.h"

#include "controls/VoskFloatIntEdit.h"
#include "customers/Customer.h"
#include "data/Clock.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>

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
        QComboBox* box = NewComboBox(parent, Customer().StoredValues(field.Name));
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

} // namespace

QColor FlagColour(bool required, bool unique) {
    if (required && unique)
        return QColor(254, 189, 177);
    if (required)
        return QColor(248, 242, 139);
    if (unique)
        return QColor(137, 239, 234);
    return QColor();
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

QList<TFieldValue> FieldValues(const QWidget* panel) {
    QList<TFieldValue> values;
    for (const QWidget* control : FieldControls(panel))
        values.append({FieldName(control), FieldValue(control)});
    return values;
}
