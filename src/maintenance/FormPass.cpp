#include "maintenance/FormPass.h"

#include "data/Exceptions.h"

#include <QFormLayout>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>

TFormPass::TFormPass(const QString& expected, QWidget* parent)
    : TFormBaseDlg(parent), edtPass(new QLineEdit(pnlBody)), expected(expected) {
    setWindowTitle(QStringLiteral("请输入密码"));
    edtPass->setEchoMode(QLineEdit::Password);
    edtPass->setMinimumWidth(180);
    auto* layout = new QFormLayout(pnlBody);
    layout->addRow(QStringLiteral("输入密码"), edtPass);
}

void TFormPass::showEvent(QShowEvent* event) {
    TFormBaseDlg::showEvent(event);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    edtPass->setFocus();
}

void TFormPass::btnOKClick() {
    if (edtPass->text() != expected)
        Fail(QStringLiteral("密码输入错误!"));
    accept();
}
