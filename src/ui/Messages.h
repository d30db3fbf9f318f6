#pragma once

#include <QString>

class QWidget;

enum class MsgIcon { None, Information, Question, Error };
enum class MsgButtons { Ok, YesNo };

struct MessageBoxRequest {
    QString caption;
    QString text;
    MsgIcon icon = MsgIcon::Information;
    MsgButtons buttons = MsgButtons::Ok;
    // Yes/No boxes default to No; an OK box has only OK.
    bool keepOtherWindowsEnabled = false;
};

// Shows one modal box and returns true when the user chose OK or Yes. The program installs the
// Qt boxes; tests install a scripted double.
class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    virtual bool Show(const MessageBoxRequest& request) = 0;
};

// nullptr restores the Qt boxes.
void SetMessageBoxes(IMessageBoxes* boxes);

// Every box names the common causes of a failure in words before the engine's or the system's
// text it quotes: a full disk, no right to write, a file in use, a damaged or missing file.
void ShowInfo(const QString& text);      // "提示"
bool AskConfirm(const QString& text);    // "确认", Yes/No, No is the default
void ShowErrorText(const QString& text); // "错误"
// A plain box with its own caption and an OK button.
void ShowMessage(const QString& caption, const QString& text);
// "错误": message, a line break, "详细信息：", details. A non-empty logText writes the same
// texts and logText to the day's log.
void ShowError(const QString& message, const QString& details, const QString& logText);
