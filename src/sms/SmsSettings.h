#pragma once

#include <QString>

// The SMS settings, kept in Config/Sms.ini beside the executable.
struct TSmsParamet {
    bool SmsSelend = false; // the SMS function is switched on
    int SmsCom = 1;         // the modem's port number
    QString MySend;         // the preset message text
    int Morzh = 0;          // 0 = modem, any other value = web account
    QString Zh;             // web-account name
    QString ZhPass;         // web-account password, plain in memory
};

// The settings a fresh installation starts with.
TSmsParamet DefaultSmsParams();

TSmsParamet& SmsParams();

// AppDir() + "Config/Sms.ini".
QString SmsSettingsPath();

// Creates the Config folder when it is missing (a failure is ignored), removes what a killed
// save left there, then reads the file into SmsParams. A missing, unreadable or garbled file,
// and any key that is missing or (for a number) not a whole number, gives the default.
void LoadSmsSettings();
// Writes SmsParams as a whole new file renamed into place, readable by its owner only, after
// making each of its texts one line (OneLine), in SmsParams too. Raises
// "Unable to write to <path>" when that fails; the file is then as it was.
void SaveSmsSettings();
