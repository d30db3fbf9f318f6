#pragma once

#include <QString>

// The login switch and password, kept in the one row of SysSet. The password is stored as typed.
class TConfig {
public:
    // Without a row: the switch off and the password empty.
    void LoadConfig();
    // Writes both values into every row of SysSet (none without a row).
    void SaveConfig() const;

    bool bPass = false;
    QString PassWord;
};

TConfig& AppConfig();

// Asks for the password in a modal prompt, captioned by caption unless it is empty. A wrong
// password is refused as often as it is typed. 1 (OK) once the expected password is typed, 0
// (Cancel) when the prompt is closed in any other way.
int AskPassword(const QString& expected, const QString& caption);

// "软件设置": the login switch and password. 1 when the change was stored.
int ShowConfigDialog();
