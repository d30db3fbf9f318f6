#include "customers/FormTitle.h"

#include "customers/FieldDefinitions.h"
#include "data/Clock.h"
#include "ui/Messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

constexpr int kCustomDate = 1;

QLabel* Caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    return label;
}

// The memo's lines as a list box shows them: a line break at the very end starts no line.
QStringList MemoLines(const QPlainTextEdit* memo) {
    QString text = memo->toPlainText();
    if (text.isEmpty())
        return {};
    if (text.endsWith('\n'))
        text.chop(1);
    return text.split('\n');
}

// The memo text that MemoLines reads back as these lines: an empty last line needs the line
// break that ends it.
QString MemoText(const QStringList& lines) {
    QString text = lines.join('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        text += '\n';
    return text;
}

} // namespace

TFormBaseTitle::TFormBaseTitle(QWidget* parent)
    : TFormBaseDlg(parent), edtName(new QLineEdit(pnlBody)), cbbType(new QComboBox(pnlBody)),
      labDefault(Caption(QStringLiteral("默  认  值"), pnlBody)), edtmrz(new QLineEdit(pnlBody)),
      mmomrz(new QPlainTextEdit(pnlBody)), cbbsj(new QComboBox(pnlBody)),
      DBDate(new QDateEdit(pnlBody)), chkwy(new QCheckBox(QStringLiteral("输入数据唯一"), pnlBody)),
      chkbt(new QCheckBox(QStringLiteral("必填"), pnlBody)),
      grpHelp(new QGroupBox(QStringLiteral("类型说明"), pnlBody)),
      mmo1(new QPlainTextEdit(grpHelp)) {
    edtName->setMaxLength(10);
    edtName->setAccessibleName(QStringLiteral("标题名称"));
    cbbType->addItems(KindNames());
    cbbType->setAccessibleName(QStringLiteral("类型"));
    edtmrz->setAccessibleName(QStringLiteral("默认值"));
    mmomrz->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmomrz->setAccessibleName(QStringLiteral("默认值"));
    cbbsj->addItems({QStringLiteral("当前时间"), QStringLiteral("自定义")});
    DBDate->setCalendarPopup(true);
    DBDate->setDisplayFormat(ShortDateFormat());
    DBDate->setDate(Now().date());
    mmo1->setReadOnly(true);
    mmo1->setFrameShape(QFrame::NoFrame);
    QPalette helpColours = mmo1->palette();
    helpColours.setColor(QPalette::Text, Qt::blue);
    helpColours.setColor(QPalette::Base, palette().color(QPalette::Window));
    mmo1->setPalette(helpColours);
    (new QVBoxLayout(grpHelp))->addWidget(mmo1);

    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(cbbsj);
    dateRow->addWidget(DBDate);
    dateRow->addStretch();
    auto* defaults = new QVBoxLayout;
    defaults->addWidget(edtmrz);
    defaults->addWidget(mmomrz);
    defaults->addLayout(dateRow);
    defaults->addStretch();
    auto* flags = new QHBoxLayout;
    flags->addWidget(chkwy);
    flags->addWidget(chkbt);
    flags->addStretch();

    auto* layout = new QGridLayout(pnlBody);
    layout->addWidget(Caption(QStringLiteral("标题名称"), pnlBody), 0, 0);
    layout->addWidget(edtName, 0, 1);
    layout->addWidget(Caption(QStringLiteral("类        型"), pnlBody), 1, 0);
    layout->addWidget(cbbType, 1, 1);
    layout->addWidget(labDefault, 2, 0);
    layout->addLayout(defaults, 2, 1);
    layout->addLayout(flags, 3, 1);
    layout->addWidget(grpHelp, 0, 2, 4, 1);
    layout->setColumnStretch(1, 1);
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(2, 1);

    // Every choice counts, also one of the item already shown.
    connect(cbbType, &QComboBox::activated, this, [this] { cbbTypeSelect(); });
    connect(cbbsj, &QComboBox::activated, this, [this] { cbbsjSelect(); });
    ShowDefaultEditor(kTextField);
    resize(480, 250);
    edtName->setFocus();
}

bool TFormBaseTitle::NameIsEmpty() {
    if (!edtName->text().trimmed().isEmpty())
        return false;
    ShowInfo(QStringLiteral("标题名不能为空！"));
    edtName->setFocus();
    return true;
}

void TFormBaseTitle::ShowKindHelp(int kind) {
    mmo1->setPlainText(KindHelp(kind));
}

void TFormBaseTitle::ShowDefaultEditor(int kind) {
    edtmrz->setVisible(kind == kTextField || kind == kNumberField);
    mmomrz->setVisible(kind == kPickField);
    cbbsj->setVisible(kind == kDateField);
    DBDate->setVisible(kind == kDateField && cbbsj->currentIndex() == kCustomDate);
    labDefault->setVisible(kind != kMemoryField);
    edtmrz->clear();
    mmomrz->clear();
}

void TFormBaseTitle::cbbTypeSelect() {
    ShowDefaultEditor(cbbType->currentIndex());
    ShowKindHelp(cbbType->currentIndex());
}

void TFormBaseTitle::cbbsjSelect() {
    DBDate->setVisible(cbbsj->currentIndex() == kCustomDate);
}

void TFormBaseTitle::showEvent(QShowEvent* event) {
    TFormBaseDlg::showEvent(event);
    ShowKindHelp(cbbType->currentIndex());
}

QString TFormBaseTitle::DefaultValueText() const {
    switch (cbbType->currentIndex()) {
    case kTextField:
    case kNumberField:
        return edtmrz->text();
    case kPickField:
        return PresetText(MemoLines(mmomrz));
    case kDateField:
        return cbbsj->currentIndex() == kCustomDate ? ShortDateText(DBDate->date()) : kTodayDefault;
    default:
        return QString();
    }
}

TFieldDefinition TFormBaseTitle::Definition() const {
    return {edtName->text().trimmed(), DefaultValueText(), cbbType->currentIndex(),
            chkbt->isChecked(), chkwy->isChecked()};
}

TFormAddTitle::TFormAddTitle(QWidget* parent) : TFormBaseTitle(parent) {
    setWindowTitle(QStringLiteral("新建客户资料"));
}

void TFormAddTitle::btnOKClick() {
    if (NameIsEmpty())
        return;
    AddTitle(Definition());
    accept();
}

TFormModTitle::TFormModTitle(QWidget* parent) : TFormBaseTitle(parent) {
    setWindowTitle(QStringLiteral("修改客户资料"));
}

void TFormModTitle::LoadTitle(const QString& name) {
    const TFieldDefinition field = ::LoadTitle(name);
    edtName->setText(field.Name);
    cbbType->setCurrentIndex(field.Kind);
    chkbt->setChecked(field.Required);
    chkwy->setChecked(field.Unique);
    ShowDefaultEditor(field.Kind);
    if (field.Kind == kTextField || field.Kind == kNumberField)
        edtmrz->setText(field.Values);
    else if (field.Kind == kPickField)
        mmomrz->setPlainText(MemoText(ReadPresets(field.Values)));
    else if (field.Kind == kDateField) {
        const bool fixedDate = field.Values != kTodayDefault;
        cbbsj->setCurrentIndex(fixedDate ? kCustomDate : 0);
        const QDate date = ParseFieldDate(field.Values);
        DBDate->setDate(date.isValid() ? date : Now().date());
        DBDate->setVisible(fixedDate);
    }
    OldName = field.Name;
}

void TFormModTitle::btnOKClick() {
    if (NameIsEmpty())
        return;
    ModifyTitle(OldName, Definition());
    accept();
}

int ShowAddTitleDialog() {
    TFormAddTitle dialog;
    return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

int ShowModTitleDialog(const QString& name) {
    TFormModTitle dialog;
    dialog.LoadTitle(name);
    return dialog.exec() == QDialog::Accepted ? 1 : 0;
}
