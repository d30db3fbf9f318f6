#include "data/Log.h"
#include "support/AppDirTest.h"
#include "ui/Messages.h"

#include <QDir>

using LogTest = AppDirTest;

TEST_F(LogTest, EntriesOfOneDayShareAFileAndTheNextDayStartsANewOne) {
    clock.Set(QDateTime(QDate(2024, 3, 15), QTime(23, 59, 59)));
    WriteLog(QStringLiteral("数据恢复！"));
    WriteLog(QStringLiteral("第一行\n第二行"));
    clock.AddSecs(2);
    WriteLog(QStringLiteral("系统初始化！"));

    EXPECT_EQ(readLog(QDate(2024, 3, 15)), QStringLiteral("2024-03-15 23:59:59：数据恢复！\n"
                                                          "2024-03-15 23:59:59：第一行\n第二行\n"));
    EXPECT_EQ(readLog(QDate(2024, 3, 16)), QStringLiteral("2024-03-16 00:00:01：系统初始化！\n"));
}

TEST_F(LogTest, AFailedWriteIsSwallowedAndTheBoxIsStillShown) {
    // A folder where the day's log file should be makes the write fail, whoever runs the test.
    ASSERT_TRUE(QDir(appDir()).mkdir("Log20240315.log"));
    ShowError(QStringLiteral("数据库操作失败！"), "disk I/O error", "delete from Customer");
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.Last().text, QStringLiteral("数据库操作失败！\n详细信息：disk I/O error"));
}
