// Renders the main window (each tab), the system menu, the base dialog, the waiting window and
// the message boxes into PNG files, working on a throw-away copy of a fresh data file.
#include "CustomerShots.h"
#include "DataMgrShots.h"
#include "FieldShots.h"
#include "NoteShots.h"
#include "PackageShots.h"
#include "ReminderShots.h"
#include "SmsShots.h"
#include "app/Application.h"
#include "app/FormMain.h"
#include "app/StartUp.h"
#include "data/AppDir.h"
#include "data/ProgramLock.h"
#include "ui/FormBaseDlg.h"
#include "ui/FormWaiting.h"
#include "ui/Messages.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

QString outputFolder;

void settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

void save(QWidget& widget, const QString& name) {
    settle();
    const QString path = outputFolder + "/" + name + ".png";
    if (!widget.grab().save(path))
        std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

// Grabs the message box that the next call opens, then closes it.
void grabNextBox(const QString& name) {
    QTimer::singleShot(50, [name] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->isVisible()) {
                save(*box, name);
                box->done(QMessageBox::No);
                return;
            }
        }
    });
}

void shootMainWindow(TFormMain& form) {
    for (int tick = 0; tick < 16; ++tick)
        form.tmrHintTimer();
    const char* names[] = {"main-customers", "main-notebook", "main-reminders"};
    for (int tab = 0; tab < form.pgc1->count(); ++tab) {
        form.pgc1->setCurrentIndex(tab);
        save(form, names[tab]);
    }
    form.pgc1->setCurrentIndex(0);
    form.pmSystem->popup(form.btnSystem->mapToGlobal(QPoint(0, 0)));
    save(*form.pmSystem, "menu-system");
    form.pmSystem->hide();
}

void shootDialogs() {
    TFormBaseDlg dialog;
    dialog.setWindowTitle(QStringLiteral("对话框"));
    dialog.resize(360, 200);
    dialog.show();
    save(dialog, "dialog-base");
    dialog.hide();

    ShowWaiting(QStringLiteral("正在导入数据，请稍后..."));
    save(WaitingWindow(), "window-waiting");
    HideWaiting();

    grabNextBox("box-info");
    ShowInfo(QStringLiteral("备份成功!"));
    grabNextBox("box-confirm");
    AskConfirm(QStringLiteral("你确定要清除数据吗？你做的操作将无法还原！"));
    grabNextBox("box-error-text");
    ShowErrorText(QStringLiteral("不能删除根分组！"));
    grabNextBox("box-error");
    ShowError(QStringLiteral("数据库连接失败！"), "file is not a database", QString());
}

} // namespace

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshots <folder>\n");
        return 2;
    }
    outputFolder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(outputFolder);
    app.LoadQtTranslation();

    QTemporaryDir work;
    SetAppDir(work.path());
    qputenv("XDG_CONFIG_HOME", work.path().toUtf8());
    if (!QFile::copy(SEED_DATAFILE, AppDir() + "bookkeep.dat"))
        return 1;
    QFile::setPermissions(AppDir() + "bookkeep.dat", QFile::ReadOwner | QFile::WriteOwner);

    FillCustomerSamples();
    FillNoteSamples();
    std::unique_ptr<TFormMain> form = CreateMainWindow();
    if (!form)
        return 1;
    form->show();
    shootMainWindow(*form);
    shootDialogs();
    ShootCustomers(*form, save);
    ShootReminders(*form, save);
    ShootSms(save);
    ShootNotebook(*form, save);
    ShootFields(save);
    ShootDataMgr(save);
    ShootPackage(*form, save);
    form->close();
    form.reset();
    UnlockProgramFolder();
    return 0;
}
