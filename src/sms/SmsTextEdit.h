#pragma once

#include <QPlainTextEdit>

class QLabel;
class QLineEdit;

// The number list of the composition and of the monitor: one number per line.
QStringList NumberLines(const QString& text);
// A one-line list that is blank is emptied; then the label shows "号码数量：" and the count of
// lines.
void WatchNumberList(QPlainTextEdit* list, QLabel* countLabel);

// A one-line box keeps to one line: a line break pasted, dropped or set becomes a space.
void KeepOnOneLine(QLineEdit* edit);

// A message text on one line: Enter is dropped, and a pasted line break becomes a space.
class TSmsTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TSmsTextEdit(QWidget* parent = nullptr);
    // The label shows "字数：" and the text's length in GBK bytes.
    void WatchByteCount(QLabel* countLabel);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
};
