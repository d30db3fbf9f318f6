#include "controls/VoskFloatIntEdit.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QRegularExpression>

namespace {

constexpr QChar Backspace(u'\b');
constexpr QChar Enter(u'\r');
constexpr QChar Minus(u'-');
constexpr QChar Point(u'.');

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool IsNumericKey(QChar c) {
    return c == Backspace || c == Enter || c == Minus || c == Point || IsAsciiDigit(c);
}

// The character a key event types, or a null QChar for editing, navigation and shortcut keys,
// which are never filtered.
QChar TypedCharacter(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Backspace)
        return Backspace;
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter)
        return Enter;
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    const QString text = event.text();
    if (text.size() != 1 || !text[0].isPrint())
        return {};
    return text[0];
}

bool IsValidInteger(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^[+-]?[0-9]+$"));
    if (!pattern.match(text).hasMatch())
        return false;
    bool ok = false;
    text.toInt(&ok, 10);
    return ok;
}

bool IsValidDecimal(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)$"));
    return pattern.match(text).hasMatch();
}

QString NormalizedFloat(QString text) {
    if (text.startsWith(Point))
        text.prepend(u'0');
    const qsizetype pointPosition = text.indexOf(Point) + 1;
    if (pointPosition == text.size())
        text.append(u'0');
    return IsValidDecimal(text) ? text : QStringLiteral("0");
}

} // namespace

TVoskFloatIntEdit::TVoskFloatIntEdit(QWidget* parent) : QLineEdit(parent) {
    setText(QStringLiteral("0"));
}

int TVoskFloatIntEdit::CaretPosition() const {
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

bool TVoskFloatIntEdit::MinusAllowedHere() const {
    return text().indexOf(Minus) <= 0 && CaretPosition() == 0;
}

QChar TVoskFloatIntEdit::FilterKey(QChar key) const {
    if (textType == NormalText)
        return key;
    if (!IsNumericKey(key))
        return {};
    if (key == Minus && !zf)
        return {};
    if (key == Point && (textType == IntegerText || text().contains(Point)))
        return {};
    if (key == Minus && !MinusAllowedHere())
        return {};
    return key;
}

void TVoskFloatIntEdit::keyPressEvent(QKeyEvent* event) {
    const QChar typed = TypedCharacter(*event);
    if (typed.isNull()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QChar accepted = FilterKey(typed);
    emit KeyPress(accepted);
    if (accepted.isNull()) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

// A numeric box shows no composition; each committed character passes the key filter as if
// typed at the caret.
void TVoskFloatIntEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (textType == NormalText) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    for (const QChar c : event->commitString()) {
        const QChar accepted = c.isPrint() ? FilterKey(c) : QChar();
        emit KeyPress(accepted);
        if (!accepted.isNull())
            insert(accepted);
    }
    event->accept();
}

QString TVoskFloatIntEdit::NormalizedText(const QString& text, TTextType type) {
    switch (type) {
    case IntegerText:
        return IsValidInteger(text) ? text : QStringLiteral("0");
    case FloatText:
        return NormalizedFloat(text);
    case NormalText:
        break;
    }
    return text;
}

void TVoskFloatIntEdit::Normalize() {
    const QString normalized = NormalizedText(text(), textType);
    if (normalized != text())
        setText(normalized);
}

void TVoskFloatIntEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A context menu or a switch to another application leaves the focus where it was.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    Normalize();
}
