#include "customers/FormCustomer.h"

#include "controls/VoskEdtBut.h"
#include "controls/VoskTree.h"
#include "customers/FieldControls.h"
#include "customers/FormConnFile.h"
#include "customers/GroupTable.h"
#include "sms/FormSendSms.h"
#include "sms/SmsLog.h"
#include "sms/SmsLogGrid.h"
#include "ui/ExceptionHandler.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int kFieldAreaWidth = 624;
constexpr int kAddFieldAreaHeight = 208;
constexpr int kModFieldAreaHeight = 210;

QLabel* Caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFixedWidth(72);
    return label;
}

} // namespace

TFormBaseCustomer::TFormBaseCustomer(int fieldAreaHeight, QWidget* parent)
    : TFormBaseDlg(parent), pgcCustomer(new QTabWidget(pnlBody)), tsBasic(new QWidget(pgcCustomer)),
      tsFiles(new QWidget(pgcCustomer)), tsSms(new QWidget(pgcCustomer)),
      EdtGoup(new TVoskEdtBut(tsBasic)), edtName(new QLineEdit(tsBasic)),
      edtTel(new QLineEdit(tsBasic)), img1(new QLabel(tsBasic)), pnlDIY(new QScrollArea(tsBasic)),
      pnlFields(new QWidget), mmoRemark(new QPlainTextEdit(tsBasic)),
      ConnFiles(new TConnFilePage(tsFiles)), SmsGrid(new TSmsLogGrid(tsSms)) {
    pgcCustomer->addTab(tsBasic, QStringLiteral("基本资料"));
    pgcCustomer->addTab(tsFiles, QStringLiteral("关联文件"));
    pgcCustomer->addTab(tsSms, QStringLiteral("短信记录"));
    auto* body = new QVBoxLayout(pnlBody);
    body->setContentsMargins(0, 0, 0, 0);
    body->addWidget(pgcCustomer);

    EdtGoup->setReadOnly(true);
    EdtGoup->SetButtonBmp(TVoskEdtBut::VoskFind);
    EdtGoup->setStyleSheet("QLineEdit { background-color: #d4d0c8; }");
    EdtGoup->setCursor(Qt::ForbiddenCursor);
    EdtGoup->setAccessibleName(QStringLiteral("分组"));
    edtName->setAccessibleName(QStringLiteral("姓名"));
    edtTel->setAccessibleName(QStringLiteral("手机号码"));
    mmoRemark->setAccessibleName(QStringLiteral("备注"));
    mmoRemark->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    img1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    img1->setFixedSize(32, 32);
    img1->setCursor(Qt::PointingHandCursor);
    img1->setToolTip(QStringLiteral("发短信"));
    img1->setAccessibleName(QStringLiteral("发短信"));
    img1->installEventFilter(this);
    for (QLineEdit* edit : {static_cast<QLineEdit*>(EdtGoup), edtName, edtTel})
        edit->setFixedWidth(121);

    auto* fixed = new QHBoxLayout;
    fixed->addWidget(Caption(QStringLiteral("分组"), tsBasic));
    fixed->addWidget(EdtGoup);
    fixed->addWidget(Caption(QStringLiteral("姓名"), tsBasic));
    fixed->addWidget(edtName);
    fixed->addWidget(Caption(QStringLiteral("手机号码"), tsBasic));
    fixed->addWidget(edtTel);
    fixed->addWidget(img1);
    fixed->addStretch();

    BuildFieldControls(pnlFields);
    pnlDIY->setWidget(pnlFields);
    pnlDIY->setFixedSize(kFieldAreaWidth, fieldAreaHeight);
    pnlDIY->setFrameShape(QFrame::NoFrame);
    pnlDIY->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* page = new QGridLayout(tsBasic);
    page->addLayout(fixed, 0, 0, 1, 2);
    page->addWidget(pnlDIY, 1, 0, 1, 2);
    page->addWidget(Caption(QStringLiteral("备注"), tsBasic), 2, 0, Qt::AlignTop);
    page->addWidget(mmoRemark, 2, 1);

    auto* files = new QVBoxLayout(tsFiles);
    files->addWidget(ConnFiles);
    auto* messages = new QVBoxLayout(tsSms);
    messages->addWidget(SmsGrid);
    SmsGrid->setAccessibleName(QStringLiteral("短信记录"));

    ConnectHandled(EdtGoup, &TVoskEdtBut::OnButClick, this, &TFormBaseCustomer::EdtGoupButClick);
    resize(660, 470);
}

void TFormBaseCustomer::SetGroup(int typeId, const QString& name) {
    TypeID = typeId;
    EdtGoup->setText(name);
}

bool TFormBaseCustomer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == img1 && event->type() == QEvent::MouseButtonRelease) {
        img1Click();
        return true;
    }
    return TFormBaseDlg::eventFilter(watched, event);
}

void TFormBaseCustomer::img1Click() {
    const QString number = edtTel->text();
    const QString guid = Guid;
    StartSmsSending(QStringLiteral("请在软件设置菜单中选择短信设置，并正确设置相关信息！"),
                    [number, guid] {
                        if (number.trimmed().isEmpty())
                            return QList<TSmsRecipient>();
                        return QList<TSmsRecipient>{{QString(), number, guid}};
                    });
}

void TFormBaseCustomer::EdtGoupButClick() {
    int index = 0;
    QString name;
    if (PickGroup(CustomerGroups(), index, name))
        SetGroup(index, name);
}

TCustomerRecord TFormBaseCustomer::Record() const {
    TCustomerRecord customer;
    customer.Guid = Guid;
    customer.TypeID = TypeID;
    customer.Name = edtName->text();
    customer.Tel = edtTel->text();
    customer.Remark = mmoRemark->toPlainText();
    customer.Fields = FieldValues(pnlFields);
    return customer;
}

TFormAddCustomer::TFormAddCustomer(QWidget* parent)
    : TFormBaseCustomer(kAddFieldAreaHeight, parent) {
    setWindowTitle(QStringLiteral("新建客户信息"));
    Guid = NewGuid();
    ConnFiles->Guid = Guid;
}

void TFormAddCustomer::btnOKClick() {
    Customer().Add(Record());
    accept();
}

TFormModCustomer::TFormModCustomer(QWidget* parent)
    : TFormBaseCustomer(kModFieldAreaHeight, parent) {
    setWindowTitle(QStringLiteral("修改客户信息"));
}

void TFormModCustomer::showEvent(QShowEvent* event) {
    TFormBaseCustomer::showEvent(event);
    if (!loaded)
        LoadRecord();
}

void TFormModCustomer::LoadRecord() {
    loaded = true;
    const TCustomerRecord customer = Customer().LoadCustomer(Guid);
    SetGroup(customer.TypeID, customer.TypeName);
    edtName->setText(customer.Name);
    edtTel->setText(customer.Tel);
    mmoRemark->setPlainText(customer.Remark);
    for (QWidget* control : FieldControls(pnlFields))
        SetFieldValue(control, customer.Field(FieldName(control)));
    ConnFiles->Guid = Guid;
    ConnFiles->LoadList();
    SmsGrid->Load([this](TDataSet& rows) { SmsLog().OpenForCustomer(rows, Guid); });
}

void TFormModCustomer::btnOKClick() {
    Customer().Update(Record());
    accept();
}

int ShowAddCustomerDialog(int typeId, const QString& typeName) {
    TFormAddCustomer dialog;
    dialog.SetGroup(typeId, typeName);
    return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

int ShowModCustomerDialog(const QString& guid) {
    TFormModCustomer dialog;
    dialog.Guid = guid;
    return dialog.exec() == QDialog::Accepted ? 1 : 0;
}
