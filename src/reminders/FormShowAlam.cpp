#include "reminders/FormShowAlam.h"

#include "reminders/Chime.h"
#include "ui/WindowMessages.h"

#include <QApplication>
#include <QCursor>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <QWindow>

namespace {

constexpr QSize kClientSize(292, 198);
constexpr int kButtonRowHeight = 34;
constexpr QSize kButtonSize(86, 25);
constexpr int kRollUpMs = 200;

QPushButton* button(const QString& caption, QWidget* parent) {
    auto* result = new QPushButton(caption, parent);
    result->setFixedSize(kButtonSize);
    result->setAutoDefault(false);
    return result;
}

} // namespace

TFormShowAlam::TFormShowAlam(int id, const QString& text, bool repeating, QObject* mainWindow)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowStaysOnTopHint),
      AlamId(id), Repeating(repeating), mainWindow(mainWindow) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("提醒"));
    setFixedSize(kClientSize);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(240, 240, 240));
    setPalette(background);
    setAutoFillBackground(true);

    mmo1 = new QTextEdit(this);
    mmo1->setReadOnly(true);
    QFont font = mmo1->font();
    font.setPixelSize(17);
    mmo1->setFont(font);
    QPalette red = mmo1->palette();
    red.setColor(QPalette::Text, QColor(255, 0, 0));
    mmo1->setPalette(red);
    mmo1->setPlainText(text);
    QTextCursor all(mmo1->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    all.mergeBlockFormat(centred);

    btnCon = button(QStringLiteral("再次提醒"), this);
    btnOkDel = button(QStringLiteral("看到了并删除"), this);
    btnOkSave = button(repeating ? QStringLiteral("看到了") : QStringLiteral("看到了并保留"), this);
    btnCon->setVisible(!repeating);
    btnOkDel->setVisible(!repeating);

    pm1 = new QMenu(this);
    N31 = pm1->addAction(QStringLiteral("3分钟后再提醒"));
    N51 = pm1->addAction(QStringLiteral("5分钟后再提醒"));
    N101 = pm1->addAction(QStringLiteral("10分钟后再提醒"));
    N301 = pm1->addAction(QStringLiteral("30分钟后再提醒"));
    N11 = pm1->addAction(QStringLiteral("1小时后再提醒"));
    const QList<QAction*> choices = {N31, N51, N101, N301, N11};
    for (int choice = 0; choice < choices.size(); ++choice)
        connect(choices[choice], &QAction::triggered, this,
                [this, choice] { SnoozeChosen(choice); });

    connect(btnOkSave, &QPushButton::clicked, this, &TFormShowAlam::btnOkSaveClick);
    connect(btnOkDel, &QPushButton::clicked, this, &TFormShowAlam::btnOkDelClick);
    connect(btnCon, &QPushButton::clicked, this, &TFormShowAlam::btnConClick);

    auto* buttonRow = new QWidget(this);
    buttonRow->setFixedHeight(kButtonRowHeight);
    auto* buttons = new QHBoxLayout(buttonRow);
    buttons->setContentsMargins(4, 0, 4, 0);
    buttons->addStretch();
    buttons->addWidget(btnCon);
    buttons->addWidget(btnOkDel);
    buttons->addWidget(btnOkSave);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(mmo1, 1);
    layout->addWidget(buttonRow);

    rollUp = new QVariantAnimation(this);
    rollUp->setDuration(kRollUpMs);
    rollUp->setStartValue(0);
    rollUp->setEndValue(kClientSize.height());
    connect(rollUp, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { reveal(value.toInt()); });
    connect(rollUp, &QVariantAnimation::finished, this, [this] { clearMask(); });
}

void TFormShowAlam::PlaceOnScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    placedFrame = frameGeometry().size().expandedTo(size());
    move(area.x() + area.width() - placedFrame.width() - 2,
         area.y() + area.height() - placedFrame.height() - 27);
}

void TFormShowAlam::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    placeWithFrame();
    // Shown again after a minimise: it neither rolls nor chimes again.
    if (!firstShow())
        return;
    reveal(1);
    rollUp->start();
    PlayChime();
}

void TFormShowAlam::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    placeWithFrame();
}

void TFormShowAlam::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeWithFrame();
}

void TFormShowAlam::placeWithFrame() {
    // A window manager adds its frame after the window was placed and shown: the corner is
    // measured again with the frame it turned out to have.
    if (isVisible() && frameGeometry().size() != placedFrame)
        PlaceOnScreen();
}

void TFormShowAlam::reveal(int height) {
    const int shown = qBound(1, height, this->height());
    setMask(QRegion(0, this->height() - shown, width(), shown));
}

void TFormShowAlam::post(QEvent::Type type, int lParam) {
    if (mainWindow)
        QCoreApplication::postEvent(mainWindow, new TWindowMessage(type, AlamId, lParam));
}

void TFormShowAlam::btnOkSaveClick() {
    if (!Repeating)
        post(WM_ALAM_SEEN);
    close();
}

void TFormShowAlam::btnOkDelClick() {
    post(WM_ALAM_DELETE);
    close();
}

void TFormShowAlam::btnConClick() {
    pm1->popup(QCursor::pos());
}

void TFormShowAlam::SnoozeChosen(int choice) {
    post(WM_ALAM_SNOOZE, choice);
    close();
}

TFormShowAlam* ShowAlamPopup(int id, const QString& text, bool repeating, QObject* mainWindow) {
    auto* popup = new TFormShowAlam(id, text, repeating, mainWindow);
    if (QWidget* modal = QApplication::activeModalWidget()) {
        popup->winId();
        popup->windowHandle()->setTransientParent(modal->window()->windowHandle());
    }
    popup->PlaceOnScreen();
    popup->show();
    return popup;
}

void CloseAlamPopups() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* popup = qobject_cast<TFormShowAlam*>(window))
            popup->close();
}
