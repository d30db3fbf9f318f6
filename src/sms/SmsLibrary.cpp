#include "sms/SmsLibrary.h"

#include "data/ProgramFolders.h"
#include "ui/Messages.h"

#include <QDir>

TSmsLibrary::TSmsLibrary(const QString& fileName, const QByteArrayList& functions,
                         const QByteArrayList& optionalFunctions)
    : fileName(fileName), functionNames(functions), optionalNames(optionalFunctions) {}

QString TSmsLibrary::Path() const {
    return SmsLibraryDir() + fileName;
}

QFunctionPointer TSmsLibrary::resolve(const char* name) {
    if (!library.isLoaded() && !load())
        return nullptr;
    return functions.value(name);
}

bool TSmsLibrary::load() {
    const QString path = Path();
    library.setFileName(path);
    if (!library.load()) {
        ShowErrorText(QStringLiteral("无法加载短信组件 %1：%2")
                          .arg(QDir::toNativeSeparators(path), library.errorString()));
        return false;
    }
    functions.clear();
    for (const QByteArray& name : functionNames) {
        if (QFunctionPointer function = library.resolve(name.constData())) {
            functions.insert(name, function);
            continue;
        }
        Unload();
        ShowErrorText(QStringLiteral("短信组件 %1 缺少函数 %2")
                          .arg(QDir::toNativeSeparators(path), QString::fromLatin1(name)));
        return false;
    }
    for (const QByteArray& name : optionalNames)
        if (QFunctionPointer function = library.resolve(name.constData()))
            functions.insert(name, function);
    return true;
}

void TSmsLibrary::Unload() {
    functions.clear();
    if (library.isLoaded())
        library.unload();
}
