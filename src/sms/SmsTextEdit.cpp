#include "sms/SmsTextEdit.h"

#include "util/Gbk.h"
#include "util/OneLine.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QValidator>

QStringList NumberLines(const QString& text) {
    if (text.isEmpty())
        return {};
    QStringList lines = text.split('\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void WatchNumberList(QPlainTextEdit* list, QLabel* countLabel) {
    const auto update = [list, countLabel] {
        const QString text = list->toPlainText();
        if (!text.isEmpty() && NumberLines(text).size() <= 1 && text.trimmed().isEmpty()) {
            list->clear(); // comes back here through textChanged
            return;
        }
        countLabel->setText(QStringLiteral("号码数量：") +
                            QString::number(NumberLines(text).size()));
    };
    QObject::connect(list, &QPlainTextEdit::textChanged, countLabel, update);
    update();
}

TSmsTextEdit::TSmsTextEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void TSmsTextEdit::WatchByteCount(QLabel* countLabel) {
    connect(this, &QPlainTextEdit::textChanged, countLabel, [this, countLabel] {
        countLabel->setText(QStringLiteral("字数：") + QString::number(GbkLength(toPlainText())));
    });
}

void TSmsTextEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TSmsTextEdit::insertFromMimeData(const QMimeData* source) {
    insertPlainText(OneLine(source->text()));
}

namespace {

class TOneLineValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override {
        position = int(OneLine(input.left(position)).size());
        input = OneLine(input);
        return Acceptable;
    }
};

} // namespace

void KeepOnOneLine(QLineEdit* edit) {
    edit->setValidator(new TOneLineValidator(edit));
}
