#pragma once

#include "data/Clock.h"
#include "ui/FileDialogs.h"
#include "ui/Messages.h"
#include "ui/Shell.h"

#include <QList>
#include <QQueue>
#include <QStringList>
#include <QUrl>

// Records every message box and answers as scripted. With nothing scripted a Yes/No box is
// answered with its default button (No) and an OK box with OK.
class ScriptedMessageBoxes : public IMessageBoxes {
public:
    bool Show(const MessageBoxRequest& request) override;
    void AnswerNext(bool yes) { answers.enqueue(yes); }
    const MessageBoxRequest& Last() const { return shown.last(); }

    QList<MessageBoxRequest> shown;
    QQueue<bool> answers;
};

// Hands out the scripted file names in order; an empty name (or none left) is a cancel.
class ScriptedFileDialogs : public IFileDialogs {
public:
    QString OpenFileName(QWidget*, const QString& caption, const QString& filter) override;
    QString SaveFileName(QWidget*, const QString& caption, const QString& filter) override;
    void ChooseNext(const QString& path) { names.enqueue(path); }

    QQueue<QString> names;
    QStringList captions;
    QStringList filters;

private:
    QString next(const QString& caption, const QString& filter);
};

// A clock that says what the test tells it.
class FixedClock : public IClock {
public:
    explicit FixedClock(const QDateTime& now = QDateTime(QDate(2024, 3, 15), QTime(9, 59, 58)))
        : now(now) {}
    QDateTime Now() const override { return now; }
    void Set(const QDateTime& value) { now = value; }
    void AddSecs(int seconds) { now = now.addSecs(seconds); }

    QDateTime now;
};

// Records what the desktop was asked to open or show; starts nothing.
class RecordingShell : public IShell {
public:
    void Open(const QUrl& url) override {
        opened << (url.isLocalFile() ? url.toLocalFile() : url.toString());
    }
    void ShowInFileManager(const QString& path) override { shown << path; }

    QStringList opened;
    QStringList shown;
};
