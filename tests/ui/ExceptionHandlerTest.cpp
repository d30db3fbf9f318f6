#include "data/Exceptions.h"
#include "support/AppDirTest.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>

#include <functional>

namespace {

// An object whose event handler throws whatever the test asks for.
class Thrower : public QObject {
public:
    explicit Thrower(std::function<void()> action) : action(std::move(action)) {}
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            action();
            return true;
        }
        return QObject::event(e);
    }

private:
    std::function<void()> action;
};

void deliverThrowingEvent(std::function<void()> action) {
    Thrower thrower(std::move(action));
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&thrower, &event);
}

} // namespace

using ExceptionHandlerTest = AppDirTest;

TEST_F(ExceptionHandlerTest, DatabaseFailureIsShownAndLoggedWithItsSql) {
    deliverThrowingEvent([] {
        throw EDBException("no such column: Foo", QStringLiteral("数据库查询错误，请检查！"),
                           "select Foo from Customer");
    });
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.Last().caption, QStringLiteral("错误"));
    EXPECT_EQ(boxes.Last().icon, MsgIcon::Error);
    EXPECT_EQ(boxes.Last().text,
              QStringLiteral("数据库查询错误，请检查！\n详细信息：no such column: Foo"));
    EXPECT_EQ(readLog(clock.now.date()),
              QStringLiteral("2024-03-15 09:59:58：数据库查询错误，请检查！\n详细信息：no such "
                             "column: Foo\nselect Foo from Customer\n"));
}

TEST_F(ExceptionHandlerTest, PlainFailureShowsItsTextAndLogsNothing) {
    deliverThrowingEvent([] { Fail(QStringLiteral("不能删除根分组！")); });
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.Last().caption, QStringLiteral("错误"));
    EXPECT_EQ(boxes.Last().text, QStringLiteral("不能删除根分组！"));
    EXPECT_TRUE(QDir(appDir()).entryList({"Log*"}).isEmpty());

    // A database failure without SQL (a failed backup copy) is shown but not logged either.
    deliverThrowingEvent(
        [] { throw EDBException("disk full", QStringLiteral("数据库备份失败！"), QString()); });
    EXPECT_EQ(boxes.Last().text, QStringLiteral("数据库备份失败！\n详细信息：disk full"));
    EXPECT_TRUE(QDir(appDir()).entryList({"Log*"}).isEmpty());
}

TEST_F(ExceptionHandlerTest, SilentAbortShowsNothingAndTheProgramGoesOn) {
    deliverThrowingEvent([] { Abort(); });
    EXPECT_TRUE(boxes.shown.isEmpty());
    deliverThrowingEvent([] { throw std::runtime_error("next"); });
    EXPECT_EQ(boxes.shown.size(), 1);
}

TEST_F(ExceptionHandlerTest, ExceptionOfAnyOtherKindShowsAPlainErrorAndTheProgramGoesOn) {
    deliverThrowingEvent([] { throw 42; });
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.Last().caption, QStringLiteral("错误"));
    EXPECT_EQ(boxes.Last().icon, MsgIcon::Error);
    EXPECT_EQ(boxes.Last().text, QStringLiteral("发生未知错误！"));
    deliverThrowingEvent([] { Fail(QStringLiteral("下一个")); });
    EXPECT_EQ(boxes.Last().text, QStringLiteral("下一个"));
}
