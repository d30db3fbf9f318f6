#include "maintenance/FormDataMgr.h"

#include "controls/VoskEdtBut.h"
#include "controls/VoskTree.h"
#include "customers/Customer.h"
#include "customers/GroupTable.h"
#include "maintenance/CustomerImport.h"
#include "maintenance/DataMaintenance.h"
#include "ui/ExceptionHandler.h"
#include "ui/FileDialogs.h"
#include "ui/FormWaiting.h"
#include "ui/Messages.h"
#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString kDataFilter = QStringLiteral("数据文件 (*.dat)");
const QString kWorkbookFilter = QStringLiteral("Excel文件 (*.xlsx *.xls)");
const QString kImporting = QStringLiteral("正在导入数据，请稍后...");

// Hides the waiting window on every way out of the import.
struct WaitingShown {
    ~WaitingShown() { HideWaiting(); }
};

} // namespace

TFormDataMgr::TFormDataMgr(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      pgc1(new QTabWidget(this)),
      labClear(new QLabel(QStringLiteral("此操作将清除系统所有数据,慎用!"))) {
    setWindowTitle(QStringLiteral("数据维护"));
    tsBackup = createButtonPage(btnSave, QStringLiteral("备份"), nullptr);
    tsRestore = createButtonPage(btnAdd, QStringLiteral("恢复"), nullptr);
    tsClear = createButtonPage(Button1, QStringLiteral("清除"), labClear);
    tsImport = createImportPage();
    pgc1->addTab(tsBackup, QStringLiteral("数据备份"));
    pgc1->addTab(tsRestore, QStringLiteral("数据恢复"));
    pgc1->addTab(tsClear, QStringLiteral("数据清除"));
    pgc1->addTab(tsImport, QStringLiteral("数据导入"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(pgc1);
    setFixedSize(460, 300);

    ConnectHandled(btnSave, &QPushButton::clicked, this, &TFormDataMgr::btnSaveClick);
    ConnectHandled(btnAdd, &QPushButton::clicked, this, &TFormDataMgr::btnAddClick);
    ConnectHandled(Button1, &QPushButton::clicked, this, &TFormDataMgr::Button1Click);
    ConnectHandled(btnInData, &QPushButton::clicked, this, &TFormDataMgr::btnInDataClick);
    ConnectHandled(EdtGoup, &TVoskEdtBut::OnButClick, this, &TFormDataMgr::EdtGoupButClick);
}

QWidget* TFormDataMgr::createButtonPage(QPushButton*& button, const QString& caption,
                                        QLabel* text) {
    auto* page = new QWidget(pgc1);
    button = new QPushButton(caption, page);
    button->setAutoDefault(false);
    button->setFixedSize(90, 28);
    auto* layout = new QVBoxLayout(page);
    layout->addStretch();
    if (text) {
        text->setParent(page);
        text->setAlignment(Qt::AlignCenter);
        layout->addWidget(text);
    }
    layout->addWidget(button, 0, Qt::AlignCenter);
    layout->addStretch();
    return page;
}

QWidget* TFormDataMgr::createImportPage() {
    auto* page = new QWidget(pgc1);
    EdtGoup = new TVoskEdtBut(page);
    EdtGoup->setReadOnly(true);
    EdtGoup->SetButtonBmp(TVoskEdtBut::VoskFind);
    EdtGoup->setStyleSheet("QLineEdit { background-color: #d4d0c8; }");
    EdtGoup->setCursor(Qt::ForbiddenCursor);
    EdtGoup->setAccessibleName(QStringLiteral("所属分组"));
    EdtGoup->setText(kUngrouped);
    lstbox1 = new QListWidget(page);
    labImport =
        new QLabel(QStringLiteral("选择需要导入的客户资料字段，Excel中填入同样的客户资料字段\n"
                                  "导入前请先数据备份"),
                   page);
    labImport->setWordWrap(true);
    btnInData = new QPushButton(QStringLiteral("数据导入"), page);
    btnInData->setAutoDefault(false);
    btnInData->setFixedSize(90, 28);

    auto* group = new QHBoxLayout;
    group->addWidget(new QLabel(QStringLiteral("所属分组"), page));
    group->addWidget(EdtGoup);
    auto* left = new QVBoxLayout;
    left->addLayout(group);
    left->addWidget(lstbox1);
    auto* right = new QVBoxLayout;
    right->addWidget(labImport);
    right->addStretch();
    right->addWidget(btnInData, 0, Qt::AlignCenter);
    right->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);
    return page;
}

void TFormDataMgr::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CentreOverMainWindow(*this);
    if (firstShow())
        RunHandled(this, [this] { FormShow(); });
}

void TFormDataMgr::reject() {
    if (!importing)
        QDialog::reject();
}

void TFormDataMgr::FormShow() {
    groupIndex = 0;
    EdtGoup->setText(kUngrouped);
    lstbox1->clear();
    for (const QString& name : Customer().ListFieldNames()) {
        auto* item = new QListWidgetItem(name, lstbox1);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

void TFormDataMgr::btnSaveClick() {
    const QString chosen = ChooseSaveFile(this, QStringLiteral("数据备份"), kDataFilter);
    if (chosen.isEmpty())
        return;
    BackupData(chosen);
    ShowInfo(QStringLiteral("备份成功!"));
}

void TFormDataMgr::btnAddClick() {
    if (!AskConfirm(QStringLiteral("你确定要恢复数据吗？你做的操作可能会覆盖最新的数据！")))
        return;
    const QString path = ChooseOpenFile(this, QStringLiteral("数据恢复"), kDataFilter);
    if (path.isEmpty())
        return;
    RestoreData(path);
    ShowInfo(QStringLiteral("数据恢复成功!"));
    accept();
}

void TFormDataMgr::Button1Click() {
    if (!AskConfirm(QStringLiteral("你确定要清除数据吗？你做的操作将无法还原！")))
        return;
    ClearData();
    ShowInfo(QStringLiteral("清除成功!"));
    accept();
}

void TFormDataMgr::EdtGoupButClick() {
    int index = 0;
    QString name;
    if (!PickGroup(CustomerGroups(), index, name))
        return;
    groupIndex = index;
    EdtGoup->setText(name);
}

QStringList TFormDataMgr::TickedFields() const {
    QStringList fields;
    for (int row = 0; row < lstbox1->count(); ++row)
        if (lstbox1->item(row)->checkState() == Qt::Checked)
            fields << lstbox1->item(row)->text();
    return fields;
}

void TFormDataMgr::btnInDataClick() {
    if (importing)
        return;
    if (lstbox1->count() == 0 || lstbox1->item(0)->checkState() != Qt::Checked)
        Fail(QStringLiteral("姓名为必选!"));
    const QString path = ChooseOpenFile(this, QStringLiteral("数据导入"), kWorkbookFilter);
    if (path.isEmpty())
        return;
    TakeSafetyCopy();
    RunImport(path);
}

void TFormDataMgr::RunImport(const QString& path) {
    importing = true;
    btnInData->setEnabled(false);
    int count = 0;
    QString failure;
    {
        const WaitingShown waiting;
        ShowWaiting(kImporting);
        try {
            count = ImportCustomers(path, TickedFields(), groupIndex,
                                    [this](int rows) { ShowImportProgress(rows); });
        } catch (const std::exception& error) {
            failure = QString::fromUtf8(error.what());
        }
    }
    btnInData->setEnabled(true);
    importing = false;
    if (!failure.isEmpty())
        ShowErrorText(QStringLiteral("数据导入失败，失败原因：") + failure);
    else
        ShowInfo(QStringLiteral("输入导入成功，导入条数：") + QString::number(count));
}

void TFormDataMgr::ShowImportProgress(int rows) {
    WaitingWindow().SetText(kImporting + QStringLiteral("已导入%1条").arg(rows));
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

int ShowDataMgrDialog(QWidget* parent) {
    TFormDataMgr dialog(parent ? parent : MainWindow());
    return dialog.exec();
}
