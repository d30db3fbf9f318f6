#include "ui/FormWaiting.h"

#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>

TFormWaiting::TFormWaiting(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      pnlText(new QLabel(QStringLiteral("正在发送短信，请稍侯..."), this)) {
    setFixedSize(305, 41);
    pnlText->setAlignment(Qt::AlignCenter);
    pnlText->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pnlText);
}

QString TFormWaiting::Text() const {
    return pnlText->text();
}

void TFormWaiting::SetText(const QString& text) {
    pnlText->setText(text);
}

TFormWaiting& WaitingWindow() {
    static TFormWaiting* window = new TFormWaiting();
    return *window;
}

void ShowWaiting(const QString& text) {
    TFormWaiting& window = WaitingWindow();
    if (!text.isEmpty())
        window.SetText(text);
    CentreOverMainWindow(window);
    window.show();
    window.raise();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(Qt::WaitCursor);
    else
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void HideWaiting() {
    WaitingWindow().hide();
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}
