#pragma once

#include <QPlainTextEdit>

// The note's text area, giving back the text exactly as typed. A plain-text document reads a
// no-break space as a space and a line separator (U+2028) as a line break, which ExactText
// avoids; a paragraph separator (U+2029) it cannot hold at all, as it would end the line there,
// so the memo holds it as a stand-in character (a noncharacter, U+FDEF) and shows it unbroken.
class TNoteMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TNoteMemo(QWidget* parent = nullptr);

    QString ExactText() const;
    void SetExactText(const QString& text);
    // In place of the selection, at the caret.
    void InsertExactText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;
};
