#include "ui/Messages.h"
#include "ui/FormWaiting.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Presses a key in the box that is about to open, once the event loop runs.
void pressInNextBox(Qt::Key key, QString* seenCaption) {
    QTimer::singleShot(0, [=] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->isVisible()) {
                *seenCaption = box->windowTitle();
                QTest::keyClick(box, key);
                return;
            }
        }
    });
}

} // namespace

TEST(Messages, ConfirmationAnsweredWithEnterIsNo) {
    SetMessageBoxes(nullptr);
    QString caption;
    pressInNextBox(Qt::Key_Return, &caption);
    EXPECT_FALSE(AskConfirm(QStringLiteral("你确定要清除数据吗？")));
    EXPECT_EQ(caption, QStringLiteral("确认"));
}

TEST(Messages, InformationBoxWaitsForItsAnswer) {
    SetMessageBoxes(nullptr);
    QString caption;
    pressInNextBox(Qt::Key_Return, &caption);
    ShowInfo(QStringLiteral("备份成功!"));
    EXPECT_EQ(caption, QStringLiteral("提示"));
}

TEST(Messages, WaitingWindowKeepsItsTextWhenGivenNone) {
    ShowWaiting(QStringLiteral("正在导入数据，请稍后..."));
    HideWaiting();
    ShowWaiting();
    EXPECT_EQ(WaitingWindow().Text(), QStringLiteral("正在导入数据，请稍后..."));
    EXPECT_TRUE(WaitingWindow().isVisible());
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    HideWaiting();
    EXPECT_FALSE(WaitingWindow().isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(Messages, InformationOverAModalDialogCanBeAnswered) {
    SetMessageBoxes(nullptr);
    QDialog dialog;
    QString caption;
    QTimer::singleShot(0, [&] {
        pressInNextBox(Qt::Key_Return, &caption);
        ShowInfo(QStringLiteral("备份成功!"));
        dialog.reject();
    });
    dialog.exec();
    EXPECT_EQ(caption, QStringLiteral("提示"));
}
