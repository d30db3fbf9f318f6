#include "sms/SmsSettings.h"

#include "data/AppDir.h"
#include "data/DataFiles.h"
#include "data/Exceptions.h"
#include "util/HomePage.h"
#include "util/OneLine.h"
#include "util/Scramble.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringList>

namespace {

const QString kSection = QStringLiteral("SmsConfig");
const QString kPasswordKey = QStringLiteral("qxj");
const QString kDefaultPassword = QStringLiteral("123456");

QString configFolder() {
    return AppDir() + "Config";
}

// The keys of the settings section, by lower-case name; the first of a repeated key counts.
QHash<QString, QString> readSection(const QString& path) {
    QHash<QString, QString> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return values;
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    bool inSection = false;
    for (QString line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith('[') && trimmed.endsWith(']')) {
            inSection = trimmed.mid(1, trimmed.size() - 2)
                            .trimmed()
                            .compare(kSection, Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inSection || equals < 0)
            continue;
        const QString key = line.left(equals).trimmed().toLower();
        if (!key.isEmpty() && !values.contains(key))
            values.insert(key, line.mid(equals + 1));
    }
    return values;
}

int readNumber(const QHash<QString, QString>& values, const QString& key, int fallback) {
    bool ok = false;
    const int number = values.value(key.toLower()).trimmed().toInt(&ok);
    return ok ? number : fallback;
}

QString readText(const QHash<QString, QString>& values, const QString& key,
                 const QString& fallback) {
    return values.value(key.toLower(), fallback);
}

QString readPassword(const QHash<QString, QString>& values) {
    const auto stored = values.constFind(QStringLiteral("zhpass"));
    if (stored == values.constEnd())
        return kDefaultPassword;
    const QString scrambled = stored->trimmed();
    return scrambled.isEmpty() ? QString() : Unscramble(scrambled, kPasswordKey);
}

QByteArray settingsText(const TSmsParamet& params) {
    const QStringList lines = {
        '[' + kSection + ']',
        "SmsSelend=" + QString(params.SmsSelend ? "1" : "0"),
        "SmsCom=" + QString::number(params.SmsCom),
        "MySend=" + params.MySend,
        "morzh=" + QString::number(params.Morzh),
        "zh=" + params.Zh,
        "zhpass=" + Scramble(params.ZhPass, kPasswordKey),
    };
    return (lines.join('\n') + '\n').toUtf8();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    TFileReplacement replacement(path, kSettingsTag);
    QFile file(replacement.TempPath());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        throw EUserError(file.errorString());
    file.close();
    replacement.Commit();
}

} // namespace

TSmsParamet DefaultSmsParams() {
    TSmsParamet params;
    params.MySend = HomePageAddress();
    params.Zh = QStringLiteral("test");
    params.ZhPass = kDefaultPassword;
    return params;
}

TSmsParamet& SmsParams() {
    static TSmsParamet params = DefaultSmsParams();
    return params;
}

QString SmsSettingsPath() {
    return configFolder() + "/Sms.ini";
}

void LoadSmsSettings() {
    QDir().mkdir(configFolder());
    RemoveLeftoverTempFiles(configFolder());
    const QHash<QString, QString> values = readSection(SmsSettingsPath());
    const TSmsParamet defaults = DefaultSmsParams();
    TSmsParamet& params = SmsParams();
    params.SmsSelend = readNumber(values, "SmsSelend", 0) != 0;
    params.SmsCom = readNumber(values, "SmsCom", defaults.SmsCom);
    params.MySend = readText(values, "MySend", defaults.MySend);
    params.Morzh = readNumber(values, "morzh", defaults.Morzh);
    params.Zh = readText(values, "zh", defaults.Zh);
    params.ZhPass = readPassword(values);
}

void SaveSmsSettings() {
    TSmsParamet& params = SmsParams();
    // Each setting is one line of the file.
    for (QString* text : {&params.MySend, &params.Zh, &params.ZhPass})
        *text = OneLine(*text);
    QDir().mkdir(configFolder());
    const QString path = SmsSettingsPath();
    try {
        writeFile(path, settingsText(params));
    } catch (const std::exception&) {
        Fail(QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(path)));
    }
}
