#include "support/Doubles.h"

bool ScriptedMessageBoxes::Show(const MessageBoxRequest& request) {
    shown.append(request);
    if (!answers.isEmpty())
        return answers.dequeue();
    return request.buttons == MsgButtons::Ok;
}

QString ScriptedFileDialogs::OpenFileName(QWidget*, const QString& caption, const QString& filter) {
    return next(caption, filter);
}

QString ScriptedFileDialogs::SaveFileName(QWidget*, const QString& caption, const QString& filter) {
    return next(caption, filter);
}

QString ScriptedFileDialogs::next(const QString& caption, const QString& filter) {
    captions.append(caption);
    filters.append(filter);
    return names.isEmpty() ? QString() : names.dequeue();
}
