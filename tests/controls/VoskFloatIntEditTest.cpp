#include "controls/VoskFloatIntEdit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>

namespace {

Qt::Key KeyOf(QChar c) {
    if (c == u'\b')
        return Qt::Key_Backspace;
    if (c == u'-')
        return Qt::Key_Minus;
    if (c == u'.')
        return Qt::Key_Period;
    return static_cast<Qt::Key>(c.toUpper().unicode());
}

void Press(QWidget& widget, Qt::Key key, const QString& text = {},
           Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(&widget, &press);
}

void Type(QWidget& widget, const QString& characters) {
    for (const QChar c : characters)
        Press(widget, KeyOf(c), QString(c));
}

void Commit(QWidget& widget, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(&widget, &event);
}

void LeaveFocus(QWidget& widget, Qt::FocusReason reason = Qt::TabFocusReason) {
    QFocusEvent out(QEvent::FocusOut, reason);
    QApplication::sendEvent(&widget, &out);
}

// An edit with the given text and the caret at position.
struct TEditFixture {
    TEditFixture(TVoskFloatIntEdit::TTextType type, const QString& text, int caret = -1) {
        edit.SetTextType(type);
        edit.setText(text);
        edit.setCursorPosition(caret < 0 ? int(text.size()) : caret);
        QObject::connect(&edit, &TVoskFloatIntEdit::KeyPress, [this](QChar key) { keys += key; });
    }
    TVoskFloatIntEdit edit;
    QList<QChar> keys;
};

} // namespace

TEST(VoskFloatIntEdit, FloatTextFiltersTypingAndCompletesTheNumberOnLeaving) {
    TVoskFloatIntEdit fresh;
    EXPECT_EQ(fresh.text(), QStringLiteral("0"));
    EXPECT_EQ(fresh.TextType(), TVoskFloatIntEdit::FloatText);
    EXPECT_TRUE(fresh.ZF());

    TEditFixture f(TVoskFloatIntEdit::FloatText, QString());
    Type(f.edit, QStringLiteral("a1..x"));
    EXPECT_EQ(f.edit.text(), QStringLiteral("1."));
    EXPECT_EQ(f.keys, QList<QChar>({QChar(), u'1', u'.', QChar(), QChar()}));
    LeaveFocus(f.edit);
    EXPECT_EQ(f.edit.text(), QStringLiteral("1.0"));

    for (const auto& [typed, left] : {std::pair{".", "0.0"}, {"", "0"}, {"-", "0"}, {"-7", "-7"}}) {
        TEditFixture g(TVoskFloatIntEdit::FloatText, QString());
        Type(g.edit, QString::fromLatin1(typed));
        LeaveFocus(g.edit);
        EXPECT_EQ(g.edit.text(), QString::fromLatin1(left)) << typed;
    }
}

TEST(VoskFloatIntEdit, IntegerTextRefusesThePointAndOutOfRangeNumbers) {
    TEditFixture f(TVoskFloatIntEdit::IntegerText, QString());
    Type(f.edit, QStringLiteral("-1.2"));
    EXPECT_EQ(f.edit.text(), QStringLiteral("-12"));
    LeaveFocus(f.edit);
    EXPECT_EQ(f.edit.text(), QStringLiteral("-12"));

    f.edit.setText(QStringLiteral("2147483648"));
    LeaveFocus(f.edit);
    EXPECT_EQ(f.edit.text(), QStringLiteral("0"));

    const auto integer = TVoskFloatIntEdit::IntegerText;
    EXPECT_EQ(TVoskFloatIntEdit::NormalizedText(QStringLiteral("-2147483648"), integer),
              QStringLiteral("-2147483648"));
    for (const char* bad : {"", "--5", "1 2", " 12", "12a", "0x10", "1e3"})
        EXPECT_EQ(TVoskFloatIntEdit::NormalizedText(QString::fromLatin1(bad), integer),
                  QStringLiteral("0"))
            << bad;
    const auto decimal = TVoskFloatIntEdit::FloatText;
    EXPECT_EQ(TVoskFloatIntEdit::NormalizedText(QStringLiteral("-.5"), decimal), "-.5");
    for (const char* bad : {"1.2.3", "--5", "-", "abc", "5-"})
        EXPECT_EQ(TVoskFloatIntEdit::NormalizedText(QString::fromLatin1(bad), decimal),
                  QStringLiteral("0"))
            << bad;
}

TEST(VoskFloatIntEdit, MinusOnlyAtTheStartAndOnlyWhenAllowed) {
    TEditFixture start(TVoskFloatIntEdit::FloatText, QStringLiteral("-5"), 0);
    Type(start.edit, QStringLiteral("-"));
    EXPECT_EQ(start.edit.text(), QStringLiteral("--5"));
    LeaveFocus(start.edit);
    EXPECT_EQ(start.edit.text(), QStringLiteral("0"));

    TEditFixture end(TVoskFloatIntEdit::FloatText, QStringLiteral("5"));
    TEditFixture laterMinus(TVoskFloatIntEdit::IntegerText, QStringLiteral("5-"), 0);
    for (TEditFixture* f : {&end, &laterMinus}) {
        Type(f->edit, QStringLiteral("-"));
        EXPECT_EQ(f->keys, QList<QChar>({QChar()}));
    }

    TEditFixture selected(TVoskFloatIntEdit::IntegerText, QStringLiteral("12"));
    selected.edit.selectAll();
    Type(selected.edit, QStringLiteral("-"));
    EXPECT_EQ(selected.edit.text(), QStringLiteral("-"));

    TEditFixture forbidden(TVoskFloatIntEdit::FloatText, QString());
    forbidden.edit.SetZF(false);
    Type(forbidden.edit, QStringLiteral("-3"));
    EXPECT_EQ(forbidden.edit.text(), QStringLiteral("3"));
}

TEST(VoskFloatIntEdit, EditingKeysPassAndNormalTextIsLeftAlone) {
    TEditFixture f(TVoskFloatIntEdit::IntegerText, QStringLiteral("123"));
    Type(f.edit, QStringLiteral("\b"));
    EXPECT_EQ(f.edit.text(), QStringLiteral("12"));
    Press(f.edit, Qt::Key_Home);
    Press(f.edit, Qt::Key_Delete);
    EXPECT_EQ(f.edit.text(), QStringLiteral("2"));
    Press(f.edit, Qt::Key_A, QStringLiteral("\x01"), Qt::ControlModifier);
    Type(f.edit, QStringLiteral("7"));
    EXPECT_EQ(f.edit.text(), QStringLiteral("7"));
    EXPECT_EQ(f.keys, QList<QChar>({u'\b', u'7'}));

    TEditFixture normal(TVoskFloatIntEdit::NormalText, QString());
    Type(normal.edit, QStringLiteral("a.-."));
    LeaveFocus(normal.edit);
    EXPECT_EQ(normal.edit.text(), QStringLiteral("a.-."));
}

TEST(VoskFloatIntEdit, NormalisesOnARealFocusChangeButNotForAContextMenu) {
    TEditFixture f(TVoskFloatIntEdit::FloatText, QStringLiteral("5."));
    LeaveFocus(f.edit, Qt::PopupFocusReason);
    EXPECT_EQ(f.edit.text(), QStringLiteral("5."));

    QWidget window;
    auto* edit = new TVoskFloatIntEdit(&window);
    auto* other = new QLineEdit(&window);
    other->move(0, 40);
    window.show();
    QApplication::setActiveWindow(&window);
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());
    edit->setText(QStringLiteral("5."));
    other->setFocus();
    EXPECT_EQ(edit->text(), QStringLiteral("5.0"));
}

TEST(VoskFloatIntEdit, InputMethodTextIsFilteredLikeTypedKeys) {
    TEditFixture f(TVoskFloatIntEdit::FloatText, QStringLiteral("1"));
    Commit(f.edit, QStringLiteral("abc中2.-3."));
    EXPECT_EQ(f.edit.text(), QStringLiteral("12.3"));
    EXPECT_EQ(f.keys.size(), 9);
    f.edit.setCursorPosition(0);
    Commit(f.edit, QStringLiteral("-"));
    EXPECT_EQ(f.edit.text(), QStringLiteral("-12.3"));

    TEditFixture integer(TVoskFloatIntEdit::IntegerText, QString());
    Commit(integer.edit, QStringLiteral("４5.6"));
    EXPECT_EQ(integer.edit.text(), QStringLiteral("56"));

    TEditFixture normal(TVoskFloatIntEdit::NormalText, QString());
    Commit(normal.edit, QStringLiteral("abc中"));
    EXPECT_EQ(normal.edit.text(), QStringLiteral("abc中"));
}
