#include "app/RunAtStartup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString configHome() {
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return configured;
    return QDir::homePath() + "/.config";
}

// Inside a quoted Exec argument these four characters take a backslash.
bool needsArgumentEscape(QChar c) {
    return c == '"' || c == '`' || c == '$' || c == '\\';
}

// The character that a backslash and c stand for in a desktop entry's string; none when the
// pair is no escape.
QChar stringEscape(QChar c) {
    switch (c.unicode()) {
    case '\\':
        return u'\\';
    case 'n':
        return u'\n';
    case 'r':
        return u'\r';
    case 't':
        return u'\t';
    case 's':
        return u' ';
    default:
        return {};
    }
}

QString readExecValue(const QString& entryPath) {
    QFile file(entryPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool inDesktopEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith('['))
            inDesktopEntry = line == QLatin1String("[Desktop Entry]");
        else if (inDesktopEntry && line.startsWith(QLatin1String("Exec=")))
            return line.mid(5);
    }
    return {};
}

} // namespace

QString AutostartEntryPath(const QString& name) {
    return configHome() + "/autostart/" + name + ".desktop";
}

QString EncodeExecValue(const QString& executablePath) {
    QString argument;
    for (QChar c : executablePath) {
        if (needsArgumentEscape(c))
            argument += '\\';
        argument += c;
    }
    QString quoted = '"' + argument + '"';
    quoted.replace('%', QLatin1String("%%"));
    // The desktop entry's own string escaping: every backslash doubled, and the line breaks
    // written as escapes so that the value stays on its line.
    quoted.replace('\\', QLatin1String("\\\\"));
    quoted.replace('\n', QLatin1String("\\n"));
    quoted.replace('\r', QLatin1String("\\r"));
    return quoted;
}

QString DecodeExecValue(const QString& value) {
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const QChar escaped = stringEscape(value[i + 1]);
            if (!escaped.isNull()) {
                unescaped += escaped;
                ++i;
                continue;
            }
        }
        unescaped += value[i];
    }
    unescaped.replace(QLatin1String("%%"), QLatin1String("%"));
    if (unescaped.size() < 2 || !unescaped.startsWith('"') || !unescaped.endsWith('"'))
        return unescaped;
    const QString argument = unescaped.mid(1, unescaped.size() - 2);
    QString path;
    for (qsizetype i = 0; i < argument.size(); ++i) {
        if (argument[i] == '\\' && i + 1 < argument.size() && needsArgumentEscape(argument[i + 1]))
            ++i;
        path += argument[i];
    }
    return path;
}

bool IsRunAtStartup(const QString& name, const QString& executablePath) {
    const QString value = readExecValue(AutostartEntryPath(name));
    return !value.isEmpty() && DecodeExecValue(value) == executablePath;
}

void SetRunAtStartup(const QString& name, const QString& executablePath, bool on) {
    const QString path = AutostartEntryPath(name);
    if (!on) {
        QFile::remove(path);
        return;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=%1\n"
                                         "Exec=%2\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(name, EncodeExecValue(executablePath));
    file.write(entry.toUtf8());
    file.commit();
}
