#include "maintenance/FormConfig.h"

#include "data/Exceptions.h"
#include "maintenance/Config.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>

namespace {

QLineEdit* PasswordBox(QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setEchoMode(QLineEdit::Password);
    box->setMinimumWidth(180);
    return box;
}

} // namespace

TFormConfig::TFormConfig(QWidget* parent)
    : TFormBaseDlg(parent), chkPass(new QCheckBox(QStringLiteral("登录需输入密码"), pnlBody)),
      edtPass(PasswordBox(pnlBody)), edtRePass(PasswordBox(pnlBody)) {
    setWindowTitle(QStringLiteral("软件设置"));
    auto* layout = new QFormLayout(pnlBody);
    layout->addRow(chkPass);
    layout->addRow(QStringLiteral("密码"), edtPass);
    layout->addRow(QStringLiteral("再输入次"), edtRePass);
    // Both boxes start enabled, whatever the tick.
    chkPass->setChecked(AppConfig().bPass);
    edtPass->setText(AppConfig().PassWord);
    edtRePass->setText(AppConfig().PassWord);
    connect(chkPass, &QCheckBox::clicked, this, &TFormConfig::chkPassClick);
}

void TFormConfig::chkPassClick() {
    const bool on = chkPass->isChecked();
    edtPass->setEnabled(on);
    edtRePass->setEnabled(on);
    const QString text = on ? AppConfig().PassWord : QString();
    edtPass->setText(text);
    edtRePass->setText(text);
}

bool TFormConfig::StoredPasswordGiven() const {
    const QString& stored = AppConfig().PassWord;
    if (chkPass->isChecked()) {
        if (stored.isEmpty() || edtPass->text() == stored)
            return true;
        return AskPassword(stored, QStringLiteral("请先输入旧密码")) == 1;
    }
    return stored.isEmpty() ||
           AskPassword(stored, QStringLiteral("请先输入密码才可以取消登录密码")) == 1;
}

void TFormConfig::btnOKClick() {
    if (chkPass->isChecked()) {
        if (edtPass->text().trimmed().isEmpty()) {
            edtPass->setFocus();
            Fail(QStringLiteral("密码不能为空!"));
        }
        if (edtPass->text() != edtRePass->text()) {
            edtPass->setFocus();
            Fail(QStringLiteral("两次输入的密码不一样,请重新输入!"));
        }
    }
    if (!StoredPasswordGiven())
        return;
    // The values change only once they are stored.
    TConfig next = AppConfig();
    next.bPass = chkPass->isChecked();
    next.PassWord = edtPass->text();
    next.SaveConfig();
    AppConfig() = next;
    accept();
}
