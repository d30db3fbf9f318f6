#pragma once

#include "support/Doubles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// Gives each test its own program folder holding a fresh copy of the generated bookkeep.dat,
// with the scripted message boxes, file dialogs, clock and desktop services installed, and the
// folder's lock held as the running program holds it.
class AppDirTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString appDir() const;   // ends with '/'
    QString dataFile() const; // appDir() + "bookkeep.dat"
    QString readLog(const QDate& day) const;

    QTemporaryDir dir;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs fileDialogs;
    FixedClock clock;
    RecordingShell shell;
};

// A file's bytes; empty when it cannot be read.
QByteArray ReadBytes(const QString& path);
// Replaces the file's contents with bytes.
void WriteBytes(const QString& path, const QByteArray& bytes);
