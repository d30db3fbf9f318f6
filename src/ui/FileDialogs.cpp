#include "ui/FileDialogs.h"

#include <QFileDialog>

namespace {

class QtFileDialogs : public IFileDialogs {
public:
    QString OpenFileName(QWidget* parent, const QString& caption, const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
    }
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& filter) override {
        return QFileDialog::getSaveFileName(parent, caption, QString(), filter, nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    }
};

IFileDialogs*& dialogsSlot() {
    static IFileDialogs* dialogs = nullptr;
    return dialogs;
}

IFileDialogs& dialogs() {
    static QtFileDialogs qtDialogs;
    IFileDialogs* installed = dialogsSlot();
    return installed ? *installed : qtDialogs;
}

} // namespace

void SetFileDialogs(IFileDialogs* installed) {
    dialogsSlot() = installed;
}

QString ChooseOpenFile(QWidget* parent, const QString& caption, const QString& filter) {
    return dialogs().OpenFileName(parent, caption, filter);
}

QString ChooseSaveFile(QWidget* parent, const QString& caption, const QString& filter) {
    return dialogs().SaveFileName(parent, caption, filter);
}
