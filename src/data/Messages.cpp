#include "data/Messages.h"

#include "data/Log.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>

namespace {

class QtMessageBoxes : public IMessageBoxes {
public:
    bool Show(const MessageBoxRequest& request) override {
        // Over an open modal dialog the box must belong to it, or that dialog would block it.
        QMessageBox box(toQtIcon(request.icon), request.caption, request.text,
                        QMessageBox::NoButton, QApplication::activeModalWidget());
        if (request.buttons == MsgButtons::YesNo) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::No);
            box.setEscapeButton(QMessageBox::No);
        } else {
            box.setStandardButtons(QMessageBox::Ok);
            box.setDefaultButton(QMessageBox::Ok);
        }
        const int answer = request.keepOtherWindowsEnabled ? runWithoutBlocking(box) : box.exec();
        return answer == QMessageBox::Ok || answer == QMessageBox::Yes;
    }

private:
    static QMessageBox::Icon toQtIcon(MsgIcon icon) {
        switch (icon) {
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Error:
            return QMessageBox::Critical;
        case MsgIcon::None:
            return QMessageBox::NoIcon;
        case MsgIcon::Information:
            break;
        }
        return QMessageBox::Information;
    }

    // Waits for the answer while the program's other windows stay usable.
    static int runWithoutBlocking(QMessageBox& box) {
        box.setWindowModality(Qt::NonModal);
        QEventLoop loop;
        QObject::connect(&box, &QMessageBox::finished, &loop, &QEventLoop::quit);
        box.show();
        loop.exec();
        return box.result();
    }
};

IMessageBoxes*& boxesSlot() {
    static IMessageBoxes* boxes = nullptr;
    return boxes;
}

IMessageBoxes& boxes() {
    static QtMessageBoxes qtBoxes;
    IMessageBoxes* installed = boxesSlot();
    return installed ? *installed : qtBoxes;
}

bool show(const QString& caption, const QString& text, MsgIcon icon, MsgButtons buttons,
          bool keepOtherWindowsEnabled = false) {
    return boxes().Show({caption, text, icon, buttons, keepOtherWindowsEnabled});
}

} // namespace

void SetMessageBoxes(IMessageBoxes* installed) {
    boxesSlot() = installed;
}

void ShowInfo(const QString& text) {
    show(QStringLiteral("提示"), text, MsgIcon::Information, MsgButtons::Ok, true);
}

bool AskConfirm(const QString& text) {
    return show(QStringLiteral("确认"), text, MsgIcon::Question, MsgButtons::YesNo);
}

void ShowMessage(const QString& caption, const QString& text) {
    show(caption, text, MsgIcon::None, MsgButtons::Ok);
}

void ShowErrorText(const QString& text) {
    show(QStringLiteral("错误"), text, MsgIcon::Error, MsgButtons::Ok);
}

void ShowError(const QString& message, const QString& details, const QString& logText) {
    const QString text = message + '\n' + QStringLiteral("详细信息：") + details;
    if (!logText.isEmpty())
        WriteLog(text + '\n' + logText);
    show(QStringLiteral("错误"), text, MsgIcon::Error, MsgButtons::Ok);
}
