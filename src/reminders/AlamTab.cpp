#include "reminders/AlamTab.h"

#include "controls/ListViews.h"
#include "data/Clock.h"
#include "reminders/Alam.h"
#include "reminders/FormBaseAlam.h"
#include "reminders/FormShowAlam.h"
#include "ui/ExceptionHandler.h"
#include "ui/Messages.h"
#include "ui/WindowMessages.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHeaderView>
#include <QMenu>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kFilterColumns = 8;

const QStringList& filterCaptions() {
    static const QStringList captions = {QStringLiteral("全部提醒"), QStringLiteral("今天"),
                                         QStringLiteral("明天"),     QStringLiteral("错过"),
                                         QStringLiteral("每天"),     QStringLiteral("每周"),
                                         QStringLiteral("每月")};
    return captions;
}

} // namespace

QColor AlamRowColour(const QString& frequencyText) {
    if (frequencyText == QStringLiteral("仅一次"))
        return QColor(255, 0, 0);
    if (frequencyText == QStringLiteral("每周"))
        return QColor(0, 128, 0);
    if (frequencyText == QStringLiteral("每月"))
        return QColor(0, 0, 255);
    return QColor();
}

void TAlamListDelegate::initStyleOption(QStyleOptionViewItem* option,
                                        const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const QColor colour = AlamRowColour(index.sibling(index.row(), ColFrequency).data().toString());
    if (colour.isValid())
        option->palette.setColor(QPalette::Text, colour);
    if (index.column() >= ColTime)
        option->displayAlignment = Qt::AlignCenter;
}

TAlamTab::TAlamTab(QWidget* parent) : QWidget(parent) {
    lv1 = new QTreeWidget(this);
    lv1->setRootIsDecorated(false);
    lv1->setUniformRowHeights(true);
    lv1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lv1->setSelectionBehavior(QAbstractItemView::SelectRows);
    QFont font = lv1->font();
    font.setPixelSize(16);
    lv1->setFont(font);
    lv1->setToolTip(QStringLiteral("点右键可以新建、修改和删除提醒"));
    lv1->setHeaderLabels({QStringLiteral("ID"), QStringLiteral("重复频率"),
                          QStringLiteral("提醒时间"), QStringLiteral("内容"),
                          QStringLiteral("状态")});
    lv1->setColumnHidden(ColId, true);
    // The time column is widened where this font needs more room for the longest time text.
    const int longestTime =
        lv1->fontMetrics().horizontalAdvance(QStringLiteral("2024-12-31  23时 59分"));
    const int widths[] = {1, 100, qMax(180, longestTime + 16), 420, 80};
    for (int column = ColFrequency; column <= ColStatus; ++column) {
        lv1->setColumnWidth(column, widths[column]);
        if (column >= ColTime)
            lv1->headerItem()->setTextAlignment(column, Qt::AlignCenter);
    }
    lv1->setItemDelegate(new TAlamListDelegate(lv1));
    ShowGridLines(lv1);
    lv1->setContextMenuPolicy(Qt::CustomContextMenu);

    pmAlam = new QMenu(this);
    NAddAlam = pmAlam->addAction(QStringLiteral("新建提醒"));
    NModAlam = pmAlam->addAction(QStringLiteral("修改"));
    NDelAlam = pmAlam->addAction(QStringLiteral("删除"));
    connect(NAddAlam, &QAction::triggered, this, &TAlamTab::NAddAlamClick);
    connect(NModAlam, &QAction::triggered, this, &TAlamTab::NModAlamClick);
    connect(NDelAlam, &QAction::triggered, this, &TAlamTab::NDelAlamClick);
    connect(lv1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { pmAlam->popup(lv1->viewport()->mapToGlobal(at)); });
    connect(lv1, &QTreeWidget::itemDoubleClicked, this, &TAlamTab::NModAlamClick);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(lv1, 1);
    layout->addWidget(createFilterButtons());
}

QWidget* TAlamTab::createFilterButtons() {
    rgAlam = new QWidget(this);
    rgAlamButtons = new QButtonGroup(rgAlam);
    auto* grid = new QGridLayout(rgAlam);
    grid->setContentsMargins(4, 2, 4, 2);
    for (int index = 0; index < filterCaptions().size(); ++index) {
        auto* button = new QRadioButton(filterCaptions()[index], rgAlam);
        rgAlamButtons->addButton(button, index);
        grid->addWidget(button, index / kFilterColumns, index % kFilterColumns);
    }
    grid->setColumnStretch(kFilterColumns - 1, 1);
    rgAlamButtons->button(FilterAll)->setChecked(true);
    connect(rgAlamButtons, &QButtonGroup::idClicked, this, &TAlamTab::rgAlamClick);
    return rgAlam;
}

void TAlamTab::StartDueCheck() {
    DueCheck.Start(Now());
}

int TAlamTab::Filter() const {
    return qMax(0, rgAlamButtons->checkedId());
}

void TAlamTab::LoadList(int filter) {
    Alam().LoadList(lv1, filter);
}

void TAlamTab::rgAlamClick() {
    LoadList(Filter());
}

int TAlamTab::selectedId() const {
    QTreeWidgetItem* item = lv1->currentItem();
    return item && item->isSelected() ? item->text(ColId).toInt() : 0;
}

void TAlamTab::NAddAlamClick() {
    if (ShowAddAlamDialog() == QDialog::Accepted)
        LoadList(Filter());
}

void TAlamTab::NModAlamClick() {
    const int id = selectedId();
    if (id != 0 && ShowModAlamDialog(id) == QDialog::Accepted)
        LoadList(Filter());
}

void TAlamTab::NDelAlamClick() {
    const int id = selectedId();
    if (id == 0)
        return;
    // A pop-up answered while the box is open may reload the list: its rows are found again.
    if (!AskConfirm(QStringLiteral("确实要删除 ") + lv1->currentItem()->text(ColTime) +
                    QStringLiteral(" 的提醒吗？")))
        return;
    Alam().Delete(id);
    qDeleteAll(rowsOf(id));
}

void TAlamTab::tmr1Timer() {
    for (const QDateTime& minute : DueCheck.MinutesToExamine(Now()))
        RunHandled(this, [&] {
            for (const TDueAlam& due : Alam().DueAt(minute))
                ShowAlamPopup(due.Id, due.Remark, due.ReDay != ReDayOnce, window());
        });
}

QList<QTreeWidgetItem*> TAlamTab::rowsOf(int id) const {
    return RowsWithText(lv1, ColId, QString::number(id));
}

bool TAlamTab::HandleAlamMessage(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != WM_ALAM_DELETE && type != WM_ALAM_SEEN && type != WM_ALAM_SNOOZE)
        return false;
    const auto* message = static_cast<TWindowMessage*>(event);
    const int id = message->Param;
    if (type == WM_ALAM_DELETE) {
        Alam().Delete(id);
        qDeleteAll(rowsOf(id));
    } else if (type == WM_ALAM_SEEN) {
        Alam().MarkSeen(id);
        for (QTreeWidgetItem* row : rowsOf(id))
            row->setText(ColStatus, QStringLiteral("看过的"));
    } else {
        Alam().Snooze(id, message->LParam);
        LoadList(Filter());
    }
    return true;
}
