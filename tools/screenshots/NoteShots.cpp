#include "NoteShots.h"

#include "app/FormMain.h"
#include "data/DbAccess.h"
#include "maintenance/Config.h"
#include "maintenance/FormConfig.h"
#include "maintenance/FormPass.h"
#include "notebook/NoteTab.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

void FillNoteSamples() {
    if (!DbAccess().Connect())
        return;
    ExecSql("insert into NoteType values (1, 0, '工作')@#@"
            "insert into NoteType values (2, 1, '客户回访')@#@"
            "insert into NoteType values (3, 0, '家庭')");
    ExecSql(QList<SqlStatement>{{"insert into NoteBook(TypeID, ReMark) values (?, ?)",
                                 {2, QStringLiteral("2024-03-15 周五\n"
                                                    "给张三回电话，确认批发价格。\n"
                                                    "李四要的样品下周一寄出 (EMS)。\n\n"
                                                    "待办：\n"
                                                    "  1. 整理老客户名单\n"
                                                    "  2. 月底前发节日短信")}}});
    DbAccess().Disconnect();
}

void ShootNotebook(TFormMain& form, const std::function<void(QWidget&, const QString&)>& save) {
    TNoteTab& tab = *form.notebook;
    tab.tvNote->expandAll();
    for (QTreeWidgetItemIterator it(tab.tvNote); *it; ++it)
        if ((*it)->text(0) == QStringLiteral("客户回访"))
            tab.tvNote->setCurrentItem(*it);
    tab.Edit1->setText(QStringLiteral("样品"));
    tab.btn2Click();
    form.pgc1->setCurrentIndex(1);
    save(form, "notebook-group");
    form.pgc1->setCurrentIndex(0);

    AppConfig().bPass = true;
    AppConfig().PassWord = QStringLiteral("secret");
    TFormConfig settings;
    settings.show();
    save(settings, "dialog-settings");
    settings.hide();

    TFormPass prompt{QString()};
    prompt.setWindowTitle(QStringLiteral("先输入密码登录软件"));
    prompt.edtPass->setText(QStringLiteral("1234"));
    prompt.show();
    save(prompt, "dialog-password");
    prompt.hide();
    AppConfig().LoadConfig();
}
