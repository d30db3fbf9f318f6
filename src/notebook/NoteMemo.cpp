#include "notebook/NoteMemo.h"

#include <QKeyEvent>
#include <QMimeData>

namespace {

constexpr QChar kParagraphStandIn(0xFDEF);

QString ToDocument(QString text) {
    return text.replace(QChar::ParagraphSeparator, kParagraphStandIn);
}

// Between two lines the document holds a paragraph separator of its own.
QString FromDocument(QString text) {
    for (QChar& c : text) {
        if (c == QChar::ParagraphSeparator)
            c = u'\n';
        else if (c == kParagraphStandIn)
            c = QChar::ParagraphSeparator;
    }
    return text;
}

} // namespace

TNoteMemo::TNoteMemo(QWidget* parent) : QPlainTextEdit(parent) {}

QString TNoteMemo::ExactText() const {
    return FromDocument(document()->toRawText());
}

void TNoteMemo::SetExactText(const QString& text) {
    setPlainText(ToDocument(text));
}

void TNoteMemo::InsertExactText(const QString& text) {
    insertPlainText(ToDocument(text));
}

void TNoteMemo::keyPressEvent(QKeyEvent* event) {
    if (!isReadOnly() && event->text().contains(QChar::ParagraphSeparator)) {
        InsertExactText(event->text());
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TNoteMemo::inputMethodEvent(QInputMethodEvent* event) {
    QInputMethodEvent held(event->preeditString(), event->attributes());
    held.setCommitString(ToDocument(event->commitString()), event->replacementStart(),
                         event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&held);
    event->setAccepted(held.isAccepted());
}

QMimeData* TNoteMemo::createMimeDataFromSelection() const {
    auto* data = new QMimeData;
    data->setText(FromDocument(textCursor().selectedText()));
    return data;
}

void TNoteMemo::insertFromMimeData(const QMimeData* source) {
    if (source->hasText())
        InsertExactText(source->text());
}
