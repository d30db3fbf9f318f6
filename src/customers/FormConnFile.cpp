#include "customers/FormConnFile.h"

#include "controls/VoskEdtBut.h"
#include "customers/ConnFile.h"
#include "data/Exceptions.h"
#include "ui/ExceptionHandler.h"
#include "ui/FileDialogs.h"
#include "ui/Messages.h"
#include "ui/Shell.h"

#include <QFormLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kIdColumn = 0;
constexpr int kPathColumn = 1;

} // namespace

TFormBaseConnFile::TFormBaseConnFile(QWidget* parent)
    : TFormBaseDlg(parent), EdtFile(new TVoskEdtBut(pnlBody)),
      mmoRemark(new QPlainTextEdit(pnlBody)) {
    EdtFile->SetButtonBmp(TVoskEdtBut::VoskFolder);
    EdtFile->setAccessibleName(QStringLiteral("关联文件"));
    mmoRemark->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmoRemark->setAccessibleName(QStringLiteral("备注"));
    auto* layout = new QFormLayout(pnlBody);
    layout->addRow(QStringLiteral("关联文件"), EdtFile);
    layout->addRow(QStringLiteral("备注"), mmoRemark);
    ConnectHandled(EdtFile, &TVoskEdtBut::OnButClick, this, &TFormBaseConnFile::EdtFileButClick);
    resize(440, 230);
}

void TFormBaseConnFile::showEvent(QShowEvent* event) {
    TFormBaseDlg::showEvent(event);
    EdtFile->setFocus();
}

void TFormBaseConnFile::EdtFileButClick() {
    const QString path =
        ChooseOpenFile(this, QStringLiteral("打开"), QStringLiteral("所有文件 (*)"));
    if (!path.isEmpty())
        EdtFile->setText(path);
}

void TFormBaseConnFile::CheckFile() {
    if (EdtFile->text().trimmed().isEmpty())
        Fail(QStringLiteral("关联文件不能为空！"));
}

TFormAddConnFile::TFormAddConnFile(const QString& guid, QWidget* parent)
    : TFormBaseConnFile(parent), guid(guid) {
    setWindowTitle(QStringLiteral("新建关联文件"));
}

void TFormAddConnFile::btnOKClick() {
    CheckFile();
    ConnFile().Add({guid, EdtFile->text(), mmoRemark->toPlainText()});
    accept();
}

TFormModConnfile::TFormModConnfile(const QString& id, QWidget* parent)
    : TFormBaseConnFile(parent), id(id) {
    setWindowTitle(QStringLiteral("修改关联文件"));
}

void TFormModConnfile::btnOKClick() {
    CheckFile();
    ConnFile().Update(id, {QString(), EdtFile->text(), mmoRemark->toPlainText()});
    accept();
}

int ShowAddConnFileDialog(const QString& guid) {
    TFormAddConnFile dialog(guid);
    return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

int ShowModConnFileDialog(const QString& id) {
    TFormModConnfile dialog(id);
    const TConnFileEntry entry = ConnFile().Load(id);
    dialog.EdtFile->setText(entry.FileName);
    dialog.mmoRemark->setPlainText(entry.Remark);
    return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

TConnFilePage::TConnFilePage(QWidget* parent)
    : QWidget(parent), lvConnFile(new QTreeWidget(this)), pmConnFile(new QMenu(this)) {
    lvConnFile->setHeaderLabels(
        {QStringLiteral("ID"), QStringLiteral("文件名"), QStringLiteral("备注")});
    lvConnFile->header()->setMinimumSectionSize(1);
    lvConnFile->setColumnWidth(kIdColumn, 1);
    lvConnFile->setColumnWidth(kPathColumn, 380);
    lvConnFile->setColumnWidth(2, 220);
    lvConnFile->setRootIsDecorated(false);
    lvConnFile->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvConnFile->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvConnFile->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvConnFile->setToolTip(QStringLiteral("点右键可以新建、修改和删除关联文件"));
    lvConnFile->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lvConnFile, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        pmConnFile->popup(lvConnFile->viewport()->mapToGlobal(at));
    });
    ConnectHandled(lvConnFile, &QTreeWidget::itemDoubleClicked, this,
                   &TConnFilePage::NOperFileClick);
    N1 = AddMenuItem(QStringLiteral("新建"), &TConnFilePage::N1Click);
    N2 = AddMenuItem(QStringLiteral("编辑"), &TConnFilePage::N2Click);
    N3 = AddMenuItem(QStringLiteral("删除"), &TConnFilePage::N3Click);
    pmConnFile->addSeparator();
    NOperFile = AddMenuItem(QStringLiteral("打开文件"), &TConnFilePage::NOperFileClick);
    NQueryFile = AddMenuItem(QStringLiteral("定位文件"), &TConnFilePage::NQueryFileClick);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lvConnFile);
}

QAction* TConnFilePage::AddMenuItem(const QString& text, void (TConnFilePage::*command)()) {
    QAction* action = pmConnFile->addAction(text);
    ConnectHandled(action, &QAction::triggered, this, command);
    return action;
}

QTreeWidgetItem* TConnFilePage::SelectedEntry() const {
    for (int row = 0; row < lvConnFile->topLevelItemCount(); ++row)
        if (QTreeWidgetItem* item = lvConnFile->topLevelItem(row); item->isSelected())
            return item->text(kIdColumn).isEmpty() ? nullptr : item;
    return nullptr;
}

void TConnFilePage::LoadList() {
    ConnFile().LoadList(Guid, lvConnFile);
}

void TConnFilePage::N1Click() {
    if (ShowAddConnFileDialog(Guid) == 1)
        LoadList();
}

void TConnFilePage::N2Click() {
    if (const QTreeWidgetItem* item = SelectedEntry();
        item && ShowModConnFileDialog(item->text(kIdColumn)) == 1)
        LoadList();
}

void TConnFilePage::N3Click() {
    QTreeWidgetItem* item = SelectedEntry();
    if (!item || !AskConfirm(QStringLiteral("真的要删除所选 ") + item->text(kPathColumn) +
                             QStringLiteral(" 关联文件吗？")))
        return;
    ConnFile().DeleteById(item->text(kIdColumn));
    delete item;
}

void TConnFilePage::NOperFileClick() {
    const QTreeWidgetItem* item = SelectedEntry();
    if (!item)
        return;
    CheckFileExists(item->text(kPathColumn));
    OpenWithShell(this, item->text(kPathColumn));
}

void TConnFilePage::NQueryFileClick() {
    const QTreeWidgetItem* item = SelectedEntry();
    if (!item)
        return;
    CheckFileExists(item->text(kPathColumn));
    ShowInFileManager(this, item->text(kPathColumn));
}
