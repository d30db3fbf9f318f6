#pragma once

#include <QByteArrayList>
#include <QHash>
#include <QLibrary>
#include <QString>

// One of the two SMS libraries in the program's library folder, loaded on first use with all its
// functions.
// A library that is missing or lacks a function is reported in an error box naming the file;
// the call then has no function to make, and loading is tried again next time.
class TSmsLibrary {
public:
    TSmsLibrary(const QString& fileName, const QByteArrayList& functions);

    // SmsLibraryDir() + the file name.
    QString Path() const;
    bool IsLoaded() const { return library.isLoaded(); }
    // The function, loading the library first; nullptr once the box has been shown.
    template <typename Function> Function Get(const char* name) {
        return reinterpret_cast<Function>(resolve(name));
    }
    void Unload();

private:
    QFunctionPointer resolve(const char* name);
    bool load();

    QString fileName;
    QByteArrayList functionNames;
    QLibrary library;
    QHash<QByteArray, QFunctionPointer> functions;
};
