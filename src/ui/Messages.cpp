#include "ui/Messages.h"

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

// A common cause of a failure, told by the engine's or the system's text.
struct FailureCause {
    const char* reason; // said to the user before the engine's text
    const char* told;   // a text that already gives the reason needs no more
    QStringList engineTexts;
};

const FailureCause kFailureCauses[] = {
    {"磁盘空间已满",
     "已满",
     {"database or disk is full", "No space left on device", "Disk quota exceeded"}},
    {"没有写入权限或磁盘是只读的",
     "权限",
     {"attempt to write a readonly database", "Permission denied", "Read-only file system",
      "Operation not permitted"}},
    {"文件正被其他程序使用", "其他程序", {"database is locked"}},
    {"文件已损坏或不是数据文件",
     "损坏",
     {"database disk image is malformed", "file is not a database"}},
    {"文件不存在或不能打开", "不存在", {"unable to open database file"}},
};

// Puts a short reason in the user's language before the engine's text of a common failure.
QString WithFailureReasons(QString text) {
    for (const FailureCause& cause : kFailureCauses) {
        if (text.contains(QString::fromUtf8(cause.told)))
            continue;
        for (const QString& engineText : cause.engineTexts) {
            const qsizetype at = text.indexOf(engineText, 0, Qt::CaseInsensitive);
            if (at >= 0) {
                text.insert(at, QString::fromUtf8(cause.reason) + QStringLiteral("。"));
                break;
            }
        }
    }
    return text;
}

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
    return boxes().Show(
        {caption, WithFailureReasons(text), icon, buttons, keepOtherWindowsEnabled});
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
