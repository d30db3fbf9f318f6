#pragma once

#include <QByteArrayList>
#include <QHash>
#include <QLibrary>
#include <QString>

// One of the two SMS libraries in the program's library folder, loaded on first use with all its
// functions.
// A library that is missing or lacks a function is reported in an error box naming the file;
// the call then has no function to make, and loading is tried again next time. Optional
// functions are those a library of an older make may lack: without them it loads all the same.
class TSmsLibrary {
public:
    TSmsLibrary(const QString& fileName, const QByteArrayList& functions,
                const QByteArrayList& optionalFunctions = {});

    // SmsLibraryDir() + the file name.
    QString Path() const;
    bool IsLoaded() const { return library.isLoaded(); }
    // The function, loading the library first; nullptr once the box has been shown.
    template <typename Function> Function Get(const char* name) {
        return reinterpret_cast<Function>(resolve(name));
    }
    // The function of the library loaded already; nullptr when it is not loaded or lacks it.
    template <typename Function> Function Loaded(const char* name) const {
        return reinterpret_cast<Function>(functions.value(name));
    }
    void Unload();

private:
    QFunctionPointer resolve(const char* name);
    bool load();

    QString fileName;
    QByteArrayList functionNames;
    QByteArrayList optionalNames;
    QLibrary library;
    QHash<QByteArray, QFunctionPointer> functions;
};
