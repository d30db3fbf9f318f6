#include "reminders/FormBaseAlam.h"

#include "data/Clock.h"
#include "data/Exceptions.h"
#include "reminders/Alam.h"
#include "reminders/FormAlamContext.h"

#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTimer>

namespace {

constexpr int kClockIntervalMs = 1000;

QLabel* redLabel(QWidget* parent, const QString& text = QString()) {
    auto* label = new QLabel(text, parent);
    QPalette red = label->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    label->setPalette(red);
    return label;
}

QLineEdit* numberBox(QWidget* parent, const QString& text, int maxLength) {
    auto* box = new QLineEdit(text, parent);
    box->setMaxLength(maxLength);
    box->setFixedWidth(36);
    box->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), box));
    return box;
}

// A number above the highest becomes the highest; text that is not a number stays.
void capNumber(QLineEdit* box, int highest) {
    bool isNumber = false;
    const int value = box->text().toInt(&isNumber);
    if (isNumber && value > highest)
        box->setText(QString::number(highest));
}

int numberIn(const QLineEdit* box, int otherwise) {
    bool isNumber = false;
    const int value = box->text().toInt(&isNumber);
    return isNumber ? value : otherwise;
}

} // namespace

QString WeekDayName(const QDate& date) {
    static const QStringList names = {QStringLiteral("星期日"), QStringLiteral("星期一"),
                                      QStringLiteral("星期二"), QStringLiteral("星期三"),
                                      QStringLiteral("星期四"), QStringLiteral("星期五"),
                                      QStringLiteral("星期六")};
    return names[date.dayOfWeek() % 7];
}

TFormBaseAlam::TFormBaseAlam(QWidget* parent) : TFormBaseDlg(parent) {
    resize(460, 360);
    LabNow = redLabel(pnlBody);
    LabLabWeeks = redLabel(pnlBody);
    edtHour = numberBox(pnlBody, QStringLiteral("9"), 2);
    edtMinute = numberBox(pnlBody, QStringLiteral("0"), 2);
    LabDay = new QLabel(QStringLiteral("提醒日期"), pnlBody);
    DBDay = new QDateEdit(Now().date(), pnlBody);
    DBDay->setCalendarPopup(true);
    DBDay->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    rbOnly = new QRadioButton(QStringLiteral("只一次"), pnlBody);
    rbDay = new QRadioButton(QStringLiteral("每天"), pnlBody);
    rbWeek = new QRadioButton(QStringLiteral("每周"), pnlBody);
    rbMonth = new QRadioButton(QStringLiteral("每月"), pnlBody);
    rbOnly->setChecked(true);
    LabMonWord = new QLabel(pnlBody);
    edtMonWeek = numberBox(pnlBody, QStringLiteral("1"), 2);
    LabModWordAlam = new QLabel(pnlBody);
    mmoNote = new QPlainTextEdit(pnlBody);
    mmoNote->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    btnAlamContext = new QPushButton(QStringLiteral("..."), pnlBody);
    btnAlamContext->setToolTip(QStringLiteral("预设提醒内容"));
    btnAlamContext->setAutoDefault(false);
    btnAlamContext->setFixedWidth(30);
    showDayRow(QString(), QString(), QString(), 2);
    LabMonWord->hide();
    edtMonWeek->hide();
    LabModWordAlam->hide();

    auto* clockRow = new QHBoxLayout;
    clockRow->addWidget(redLabel(pnlBody, QStringLiteral("现在时间")));
    clockRow->addWidget(LabNow);
    clockRow->addWidget(LabLabWeeks);
    clockRow->addStretch();
    auto* timeRow = new QHBoxLayout;
    timeRow->addWidget(edtHour);
    timeRow->addWidget(new QLabel(QStringLiteral("时"), pnlBody));
    timeRow->addWidget(edtMinute);
    timeRow->addWidget(new QLabel(QStringLiteral("分"), pnlBody));
    timeRow->addSpacing(16);
    timeRow->addWidget(LabDay);
    timeRow->addWidget(DBDay);
    timeRow->addStretch();
    auto* frequencyRow = new QHBoxLayout;
    for (QRadioButton* button : {rbOnly, rbDay, rbWeek, rbMonth})
        frequencyRow->addWidget(button);
    frequencyRow->addStretch();
    auto* dayRow = new QHBoxLayout;
    dayRow->addWidget(LabMonWord);
    dayRow->addWidget(edtMonWeek);
    dayRow->addWidget(LabModWordAlam);
    dayRow->addStretch();
    auto* textLabel = new QVBoxLayout;
    textLabel->addWidget(new QLabel(QStringLiteral("提醒内容"), pnlBody));
    textLabel->addWidget(btnAlamContext);
    textLabel->addStretch();

    auto* grid = new QGridLayout(pnlBody);
    grid->addLayout(clockRow, 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("提醒时间"), pnlBody), 1, 0);
    grid->addLayout(timeRow, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("重复频率"), pnlBody), 2, 0);
    grid->addLayout(frequencyRow, 2, 1);
    grid->addLayout(dayRow, 3, 1);
    grid->addLayout(textLabel, 4, 0);
    grid->addWidget(mmoNote, 4, 1);
    grid->setRowStretch(4, 1);

    connect(edtHour, &QLineEdit::textChanged, this, [this] { capNumber(edtHour, 23); });
    connect(edtMinute, &QLineEdit::textChanged, this, [this] { capNumber(edtMinute, 59); });
    connect(edtMonWeek, &QLineEdit::textChanged, this, [this] { capNumber(edtMonWeek, 31); });
    for (QLineEdit* box : {edtHour, edtMinute, edtMonWeek})
        box->installEventFilter(this);
    connect(rbOnly, &QRadioButton::toggled, this, [this](bool on) { on ? rbOnlyClick() : void(); });
    connect(rbDay, &QRadioButton::toggled, this, [this](bool on) { on ? rbDayClick() : void(); });
    connect(rbWeek, &QRadioButton::toggled, this, [this](bool on) { on ? rbWeekClick() : void(); });
    connect(rbMonth, &QRadioButton::toggled, this,
            [this](bool on) { on ? rbMonthClick() : void(); });
    connect(btnAlamContext, &QPushButton::clicked, this, &TFormBaseAlam::btnAlamContextClick);

    tmr1 = new QTimer(this);
    tmr1->setInterval(kClockIntervalMs);
    connect(tmr1, &QTimer::timeout, this, &TFormBaseAlam::tmr1Timer);
    tmr1->start();
}

void TFormBaseAlam::showEvent(QShowEvent* event) {
    TFormBaseDlg::showEvent(event);
    if (firstShow())
        FormShow();
}

void TFormBaseAlam::FormShow() {
    edtHour->setFocus();
}

bool TFormBaseAlam::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        auto* box = static_cast<QLineEdit*>(watched);
        if (box->text().trimmed().isEmpty())
            box->setText(box == edtMonWeek ? QStringLiteral("1") : QStringLiteral("0"));
    }
    return TFormBaseDlg::eventFilter(watched, event);
}

void TFormBaseAlam::tmr1Timer() {
    const QDateTime now = Now();
    LabNow->setText(QLocale::system().toString(now, QLocale::ShortFormat));
    LabLabWeeks->setText(WeekDayName(now.date()));
}

void TFormBaseAlam::showDate(bool visible) {
    LabDay->setVisible(visible);
    DBDay->setVisible(visible);
}

void TFormBaseAlam::showDayRow(const QString& before, const QString& after, const QString& digits,
                               int maxLength) {
    const bool visible = !digits.isEmpty();
    LabMonWord->setVisible(visible);
    edtMonWeek->setVisible(visible);
    LabModWordAlam->setVisible(visible);
    if (!visible)
        return;
    LabMonWord->setText(before);
    LabModWordAlam->setText(after);
    edtMonWeek->setText(QStringLiteral("1"));
    edtMonWeek->setMaxLength(maxLength);
    edtMonWeek->findChild<QRegularExpressionValidator*>()->setRegularExpression(
        QRegularExpression(digits));
}

void TFormBaseAlam::rbOnlyClick() {
    showDate(true);
    DBDay->setDate(Now().date());
    showDayRow(QString(), QString(), QString(), 2);
}

void TFormBaseAlam::rbDayClick() {
    showDate(false);
    showDayRow(QString(), QString(), QString(), 2);
}

void TFormBaseAlam::rbWeekClick() {
    showDate(false);
    showDayRow(QStringLiteral("每周"), QStringLiteral("提醒"), QStringLiteral("[1-7]*"), 1);
}

void TFormBaseAlam::rbMonthClick() {
    showDate(false);
    showDayRow(QStringLiteral("每月"), QStringLiteral("号提醒"), QStringLiteral("[0-9]*"), 2);
}

void TFormBaseAlam::btnAlamContextClick() {
    QString text;
    if (PickAlamContext(text) == QDialog::Accepted)
        mmoNote->setPlainText(text);
}

int TFormBaseAlam::SelectedReDay() const {
    if (rbDay->isChecked())
        return ReDayDaily;
    if (rbWeek->isChecked())
        return ReDayWeekly;
    if (rbMonth->isChecked())
        return ReDayMonthly;
    return ReDayOnce;
}

void TFormBaseAlam::CheckInput() const {
    if (mmoNote->toPlainText().trimmed().isEmpty())
        Fail(QStringLiteral("提醒内容不能为空！"));
    if (!rbOnly->isChecked())
        return;
    const QDateTime moment(DBDay->date(), QTime(numberIn(edtHour, 0), numberIn(edtMinute, 0)));
    if (Now() > moment)
        Fail(QStringLiteral("设置的提醒时间不能早于现在时间！"));
}

TAlamRecord TFormBaseAlam::Record() const {
    TAlamRecord alam;
    alam.ReDay = SelectedReDay();
    alam.iHour = numberIn(edtHour, 0);
    alam.iMinute = numberIn(edtMinute, 0);
    alam.iMonWeek = numberIn(edtMonWeek, 1);
    alam.AlamDate = DBDay->date();
    alam.ReMark = mmoNote->toPlainText();
    return alam;
}

TFormAddAlam::TFormAddAlam(QWidget* parent) : TFormBaseAlam(parent) {
    setWindowTitle(QStringLiteral("新建提醒"));
}

void TFormAddAlam::btnOKClick() {
    CheckInput();
    Alam().Add(Record());
    accept();
}

TFormModAlam::TFormModAlam(int id, QWidget* parent) : TFormBaseAlam(parent), Id(id) {
    setWindowTitle(QStringLiteral("修改提醒"));
}

void TFormModAlam::FormShow() {
    TFormBaseAlam::FormShow();
    const TAlamRecord alam = Alam().Load(Id);
    edtHour->setText(QString::number(alam.iHour));
    edtMinute->setText(QString::number(alam.iMinute));
    QRadioButton* buttons[] = {rbOnly, rbDay, rbWeek, rbMonth};
    const int reDay = alam.ReDay >= ReDayOnce && alam.ReDay <= ReDayMonthly ? alam.ReDay : 0;
    buttons[reDay]->setChecked(true);
    edtMonWeek->setText(QString::number(alam.iMonWeek));
    if (alam.AlamDate.isValid())
        DBDay->setDate(alam.AlamDate);
    mmoNote->setPlainText(alam.ReMark);
}

void TFormModAlam::btnOKClick() {
    CheckInput();
    Alam().Update(Id, Record());
    accept();
}

int ShowAddAlamDialog() {
    TFormAddAlam form;
    return form.exec();
}

int ShowModAlamDialog(int id) {
    TFormModAlam form(id);
    return form.exec();
}
