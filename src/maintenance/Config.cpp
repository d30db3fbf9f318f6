#include "maintenance/Config.h"

#include "data/DbAccess.h"
#include "maintenance/FormConfig.h"
#include "maintenance/FormPass.h"

TConfig& AppConfig() {
    static TConfig instance;
    return instance;
}

void TConfig::LoadConfig() {
    TDataSet& set = DbAccess().OpenQuery("select * from SysSet");
    bPass = !set.Eof() && set.AsBoolean("bPass");
    PassWord = set.Eof() ? QString() : set.AsString("PassWord");
}

void TConfig::SaveConfig() const {
    ExecSql(
        QList<SqlStatement>{{"update SysSet set bPass=?,PassWord=?", {bPass ? -1 : 0, PassWord}}});
}

int AskPassword(const QString& expected, const QString& caption) {
    TFormPass dialog(expected);
    if (!caption.isEmpty())
        dialog.setWindowTitle(caption);
    return dialog.exec();
}

int ShowConfigDialog() {
    TFormConfig dialog;
    return dialog.exec();
}
