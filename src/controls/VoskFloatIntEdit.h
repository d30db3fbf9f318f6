#pragma once

#include <QLineEdit>

// A numeric edit: typed characters, and those an input method commits, are filtered by the text
// type, and the text is normalised to a valid number when the focus moves to another control.
// Pasted text is not filtered; the normalisation is its only guard.
class TVoskFloatIntEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(TTextType TextType READ TextType WRITE SetTextType)
    Q_PROPERTY(bool ZF READ ZF WRITE SetZF)
public:
    enum TTextType { FloatText, IntegerText, NormalText };
    Q_ENUM(TTextType)

    explicit TVoskFloatIntEdit(QWidget* parent = nullptr);

    TTextType TextType() const { return textType; }
    void SetTextType(TTextType type) { textType = type; }
    // True: a minus sign may be typed.
    bool ZF() const { return zf; }
    void SetZF(bool allowed) { zf = allowed; }

    // The typed character as it is let through, or a null QChar when it is dropped.
    QChar FilterKey(QChar key) const;
    // Replaces the text by its normalised form.
    void Normalize();
    static QString NormalizedText(const QString& text, TTextType type);

signals:
    // Every typed character, or a null QChar when it was dropped.
    void KeyPress(QChar key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool MinusAllowedHere() const;
    int CaretPosition() const;

    TTextType textType = FloatText;
    bool zf = true;
};
