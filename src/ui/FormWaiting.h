#pragma once

#include <QWidget>

class QLabel;

// The small borderless "please wait" window shown during long work. One instance lives from
// the main window's creation to the end of the program.
class TFormWaiting : public QWidget {
    Q_OBJECT
public:
    explicit TFormWaiting(QWidget* parent = nullptr);
    QString Text() const;
    void SetText(const QString& text);

private:
    QLabel* pnlText;
};

TFormWaiting& WaitingWindow();

// A non-empty text replaces the window's text; an empty one keeps the previous text. Shows the
// window at once, centred over the main window, with the busy cursor.
void ShowWaiting(const QString& text = QString());
void HideWaiting();
