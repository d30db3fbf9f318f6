#include "reminders/FormAlamContext.h"

#include "controls/ListViews.h"
#include "data/Exceptions.h"
#include "reminders/AlamContext.h"
#include "ui/Messages.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kHintIntervalMs = 200;
enum { ColId, ColText };

int selectedId(QTreeWidget* list) {
    QTreeWidgetItem* item = list->currentItem();
    return item && item->isSelected() ? item->text(ColId).toInt() : 0;
}

} // namespace

TFormAlamContext::TFormAlamContext(QWidget* parent)
    : TFormBaseDlg(parent), hint(QStringLiteral("点右键可以新建、修改和删除预设提醒内容")) {
    setWindowTitle(QStringLiteral("预设提醒内容"));
    resize(500, 380);

    lv1 = new QTreeWidget(pnlBody);
    lv1->setRootIsDecorated(false);
    lv1->setUniformRowHeights(true);
    lv1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lv1->setSelectionBehavior(QAbstractItemView::SelectRows);
    lv1->setHeaderLabels({QStringLiteral("ID"), QStringLiteral("预设提醒内容")});
    lv1->setColumnHidden(ColId, true);
    lv1->setColumnWidth(ColText, 460);
    lv1->headerItem()->setTextAlignment(ColText, Qt::AlignCenter);
    lv1->setToolTip(QStringLiteral("点右键可以新建、修改和是删除提醒内容"));
    ShowGridLines(lv1);
    lv1->setContextMenuPolicy(Qt::CustomContextMenu);

    pm1 = new QMenu(this);
    N1 = pm1->addAction(QStringLiteral("新建"));
    N2 = pm1->addAction(QStringLiteral("修改"));
    N3 = pm1->addAction(QStringLiteral("删除"));
    connect(N1, &QAction::triggered, this, &TFormAlamContext::N1Click);
    connect(N2, &QAction::triggered, this, &TFormAlamContext::N2Click);
    connect(N3, &QAction::triggered, this, &TFormAlamContext::N3Click);
    connect(lv1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { pm1->popup(lv1->viewport()->mapToGlobal(at)); });
    connect(lv1, &QTreeWidget::itemDoubleClicked, this, [this] { btnOKClick(); });

    statHint = new QStatusBar(pnlBody);
    statHint->setSizeGripEnabled(false);
    statHintPanel = new QLabel(statHint);
    statHint->addWidget(statHintPanel, 1);

    auto* layout = new QVBoxLayout(pnlBody);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lv1, 1);
    layout->addWidget(statHint);

    tmrHint = new QTimer(this);
    tmrHint->setInterval(kHintIntervalMs);
    connect(tmrHint, &QTimer::timeout, this, &TFormAlamContext::tmrHintTimer);
    tmrHint->start();
}

void TFormAlamContext::showEvent(QShowEvent* event) {
    TFormBaseDlg::showEvent(event);
    if (firstShow())
        FormShow();
}

void TFormAlamContext::FormShow() {
    reload();
}

void TFormAlamContext::reload() {
    AlamContext().LoadList(lv1);
    for (int row = 0; row < lv1->topLevelItemCount(); ++row)
        lv1->topLevelItem(row)->setTextAlignment(ColText, Qt::AlignCenter);
}

void TFormAlamContext::N1Click() {
    if (ShowAddAlamContextDialog() == QDialog::Accepted)
        reload();
}

void TFormAlamContext::N2Click() {
    const int id = selectedId(lv1);
    if (id == 0)
        return;
    if (ShowModAlamContextDialog(id, lv1->currentItem()->text(ColText)) == QDialog::Accepted)
        reload();
}

void TFormAlamContext::N3Click() {
    const int id = selectedId(lv1);
    if (id == 0 || !AskConfirm(QStringLiteral("你确定要删除你选择的内容吗?")))
        return;
    AlamContext().Delete(id);
    qDeleteAll(RowsWithText(lv1, ColId, QString::number(id)));
}

void TFormAlamContext::btnOKClick() {
    if (selectedId(lv1) == 0) {
        ShowInfo(QStringLiteral("请先选择一条预设提醒内容!"));
        return;
    }
    ChosenText = lv1->currentItem()->text(ColText);
    accept();
}

void TFormAlamContext::tmrHintTimer() {
    statHintPanel->setText(hint.Tick());
}

TFormAlamContextText::TFormAlamContextText(int id, const QString& text, QWidget* parent)
    : TFormBaseDlg(parent), Id(id) {
    setWindowTitle(id == 0 ? QStringLiteral("新建提醒内容") : QStringLiteral("修改提醒内容"));
    resize(420, 260);
    mmoNote = new QPlainTextEdit(pnlBody);
    mmoNote->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmoNote->setPlainText(text);
    auto* layout = new QVBoxLayout(pnlBody);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("提醒内容"), pnlBody));
    layout->addWidget(mmoNote, 1);
}

void TFormAlamContextText::btnOKClick() {
    const QString text = mmoNote->toPlainText();
    if (text.trimmed().isEmpty())
        Fail(QStringLiteral("提醒内容不能为空！"));
    if (Id == 0)
        AlamContext().Add(text);
    else
        AlamContext().Update(Id, text);
    accept();
}

int PickAlamContext(QString& chosenText) {
    TFormAlamContext form;
    const int result = form.exec();
    if (result == QDialog::Accepted)
        chosenText = form.ChosenText;
    return result;
}

int ShowAddAlamContextDialog() {
    TFormAlamContextText form;
    return form.exec();
}

int ShowModAlamContextDialog(int id, const QString& text) {
    TFormAlamContextText form(id, text);
    return form.exec();
}
