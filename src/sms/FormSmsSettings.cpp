#include "sms/FormSmsSettings.h"

#include "data/Exceptions.h"
#include "sms/SmsGateway.h"
#include "sms/SmsSettings.h"
#include "sms/SmsTextEdit.h"
#include "ui/FormWaiting.h"
#include "ui/Messages.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QLineEdit* oneLineEdit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    KeepOnOneLine(edit);
    return edit;
}

QLineEdit* maskedEdit(QWidget* parent) {
    QLineEdit* edit = oneLineEdit(parent);
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

} // namespace

TFormSMSCSSZ::TFormSMSCSSZ(QWidget* parent) : TFormBaseDlg(parent) {
    setWindowTitle(QStringLiteral("短信设置"));
    CSmsSelend = new QCheckBox(QStringLiteral("使用短信功能"), pnlBody);
    Panel1 = new QWidget(pnlBody);
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(createModePanel());
    panelLayout->addWidget(createModemPanel());
    panelLayout->addWidget(createAccountPanel());
    panelLayout->addWidget(createTextBox(), 1);
    Panel1->hide();

    auto* layout = new QVBoxLayout(pnlBody);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(CSmsSelend);
    layout->addWidget(Panel1, 1);
    layout->addStretch();
    resize(520, 430);

    connect(CSmsSelend, &QCheckBox::clicked, this, &TFormSMSCSSZ::CSmsSelendClick);
    connect(rg1Items, &QButtonGroup::idClicked, this, &TFormSMSCSSZ::rg1Click);
    connect(btn1, &QPushButton::clicked, this, &TFormSMSCSSZ::btn1Click);
    connect(btn2, &QPushButton::clicked, this, &TFormSMSCSSZ::btn2Click);
    FormShow();
}

QWidget* TFormSMSCSSZ::createModePanel() {
    rg1 = new QGroupBox(QStringLiteral("短信发送方式"), Panel1);
    rg1Items = new QButtonGroup(rg1);
    auto* layout = new QHBoxLayout(rg1);
    const QStringList items = {QStringLiteral("短信猫发送（该方式需配硬件）"),
                               QStringLiteral("帐号密码（该方式必须可以上网）")};
    for (int id = 0; id < items.size(); ++id) {
        auto* item = new QRadioButton(items[id], rg1);
        rg1Items->addButton(item, id);
        layout->addWidget(item);
    }
    return rg1;
}

QWidget* TFormSMSCSSZ::createModemPanel() {
    pnlm = new QWidget(Panel1);
    cbbcom = new QComboBox(pnlm);
    cbbcom->setEditable(true);
    for (int port = 1; port <= 8; ++port)
        cbbcom->addItem(QString::number(port));
    auto* layout = new QHBoxLayout(pnlm);
    layout->addWidget(new QLabel(QStringLiteral("连接端口"), pnlm));
    layout->addWidget(cbbcom);
    layout->addStretch();
    return pnlm;
}

QWidget* TFormSMSCSSZ::createAccountPanel() {
    pnlz = new QWidget(Panel1);
    Edtzh = oneLineEdit(pnlz);
    EdtPass = maskedEdit(pnlz);
    btn1 = new QPushButton(QStringLiteral("查询余额"), pnlz);
    Edtnewpass = maskedEdit(pnlz);
    EdtRePass = maskedEdit(pnlz);
    btn2 = new QPushButton(QStringLiteral("修改密码"), pnlz);
    btn1->setAutoDefault(false);
    btn2->setAutoDefault(false);
    auto* grid = new QGridLayout(pnlz);
    grid->addWidget(new QLabel(QStringLiteral("帐号"), pnlz), 0, 0);
    grid->addWidget(Edtzh, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("密码"), pnlz), 0, 2);
    grid->addWidget(EdtPass, 0, 3);
    grid->addWidget(btn1, 0, 4);
    grid->addWidget(new QLabel(QStringLiteral("新密码"), pnlz), 1, 0);
    grid->addWidget(Edtnewpass, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("再输入次"), pnlz), 1, 2);
    grid->addWidget(EdtRePass, 1, 3);
    grid->addWidget(btn2, 1, 4);
    pnlz->hide();
    return pnlz;
}

QWidget* TFormSMSCSSZ::createTextBox() {
    auto* box = new QGroupBox(QStringLiteral("预设发送内容"), Panel1);
    mmoText = new TSmsTextEdit(box);
    LabTextcount = new QLabel(QStringLiteral("字数："), box);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(mmoText, 1);
    layout->addWidget(LabTextcount);
    mmoText->WatchByteCount(LabTextcount);
    return box;
}

void TFormSMSCSSZ::FormShow() {
    const TSmsParamet& params = SmsParams();
    CSmsSelend->setChecked(params.SmsSelend);
    CSmsSelendClick();
    cbbcom->setEditText(QString::number(params.SmsCom));
    mmoText->setPlainText(params.MySend);
    SetMode(params.Morzh == 0 ? 0 : 1);
    Edtzh->setText(params.Zh);
    EdtPass->setText(params.ZhPass);
}

int TFormSMSCSSZ::Mode() const {
    return rg1Items->checkedId() == 0 ? 0 : 1;
}

void TFormSMSCSSZ::SetMode(int mode) {
    rg1Items->button(mode)->setChecked(true);
    rg1Click();
}

void TFormSMSCSSZ::CSmsSelendClick() {
    Panel1->setVisible(CSmsSelend->isChecked());
}

void TFormSMSCSSZ::rg1Click() {
    pnlm->setVisible(Mode() == 0);
    pnlz->setVisible(Mode() != 0);
}

void TFormSMSCSSZ::btn1Click() {
    SmsGateway().ShowBalance(Edtzh->text(), EdtPass->text());
}

void TFormSMSCSSZ::btn2Click() {
    const QString newPassword = Edtnewpass->text();
    if (newPassword.isEmpty()) {
        ShowInfo(QStringLiteral("新密码不能为空！"));
        return;
    }
    if (newPassword != EdtRePass->text()) {
        ShowInfo(QStringLiteral("两次密码输入不一样！"));
        return;
    }
    if (!SmsGateway().ChangePassword(Edtzh->text(), EdtPass->text(), newPassword))
        return;
    EdtPass->setText(newPassword);
    SmsParams().ZhPass = newPassword;
    ShowInfo(QStringLiteral("修改密码成功!"));
}

int TFormSMSCSSZ::portNumber() const {
    bool ok = false;
    const int port = cbbcom->currentText().trimmed().toInt(&ok);
    if (!ok)
        Fail(QStringLiteral("“%1”不是有效的端口号，请输入一个整数！").arg(cbbcom->currentText()));
    return port;
}

void TFormSMSCSSZ::btnOKClick() {
    TSmsParamet params;
    params.SmsSelend = CSmsSelend->isChecked();
    params.SmsCom = portNumber();
    params.MySend = mmoText->toPlainText();
    params.Morzh = Mode();
    params.Zh = Edtzh->text();
    params.ZhPass = EdtPass->text();

    ShowWaiting(QStringLiteral("正在保存设置，请稍等..."));
    const TSmsParamet previous = SmsParams();
    try {
        SmsParams() = params;
        SaveSmsSettings();
    } catch (...) {
        SmsParams() = previous;
        HideWaiting();
        throw;
    }
    TVoskSms& gateway = SmsGateway();
    gateway.DisconnectModem();
    gateway.SmsOn = params.SmsSelend;
    gateway.ConnectModem(params.SmsCom);
    HideWaiting();
    ShowInfo(QStringLiteral("保存成功！"));
    accept();
}

void ShowSmsSettings() {
    TFormSMSCSSZ dialog;
    dialog.exec();
}
