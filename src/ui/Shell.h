#pragma once

#include <QString>

class QUrl;
class QWidget;

// The desktop's services for files: opening with the default application and showing a file
// selected in the file manager. The program installs the desktop's own; tests install a double
// that records what it was asked, so no test starts a real program.
class IShell {
public:
    virtual ~IShell() = default;
    virtual void Open(const QUrl& url) = 0;
    virtual void ShowInFileManager(const QString& path) = 0;
};

// nullptr restores the desktop's services.
void SetShell(IShell* shell);

// Hands a file or a web address to the desktop to open with its default application. What the
// desktop answers is not examined.
void OpenWithShell(QWidget* owner, const QString& path);
// Asks the desktop's file manager to show the file's folder with the file selected; opens the
// folder where no file manager answers.
void ShowInFileManager(QWidget* owner, const QString& path);
