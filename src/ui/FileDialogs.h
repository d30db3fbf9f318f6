#pragma once

#include <QString>

class QWidget;

// The program's file choosers. Filters are in Qt's form ("数据文件 (*.dat)"). An empty result
// means the user cancelled. Tests install a scripted double.
class IFileDialogs {
public:
    virtual ~IFileDialogs() = default;
    virtual QString OpenFileName(QWidget* parent, const QString& caption,
                                 const QString& filter) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& caption,
                                 const QString& filter) = 0;
};

// nullptr restores Qt's dialogs.
void SetFileDialogs(IFileDialogs* dialogs);

QString ChooseOpenFile(QWidget* parent, const QString& caption, const QString& filter);
QString ChooseSaveFile(QWidget* parent, const QString& caption, const QString& filter);
