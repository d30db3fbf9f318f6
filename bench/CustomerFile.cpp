#include "CustomerFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QUuid>

#include <sqlite3.h>

#include <functional>
#include <stdexcept>

namespace {

constexpr int kGroups = 50;
const QStringList kTextFields = {"生日", "性别", "地址", "公司", "职位", "邮箱",
                                 "QQ",   "微信", "来源", "爱好", "等级", "介绍人"};
const QStringList kNumericFields = {"金额", "积分", "余额"};
const QStringList kSurnames = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周",
                               "徐", "孙", "马", "朱", "胡", "郭", "何", "高", "林", "罗"};
const QString kGivenChars = "伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞平刚桂英华玉兰红梅建国";
const QStringList kCities = {"北京市朝阳区建国路", "上海市浦东新区世纪大道", "广州市天河区体育西路",
                             "深圳市南山区科技园", "杭州市西湖区文三路"};
const QStringList kWords = {"未知", "", "待定", "n/a"};

// A fixed-seed generator: the same file on every machine.
class Sequence {
public:
    quint32 Next() {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return quint32(state >> 33);
    }
    int Below(int bound) { return int(Next() % quint32(bound)); }

private:
    quint64 state = 20240315;
};

void Check(sqlite3* db, int rc) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(sqlite3_errmsg(db));
}

void Exec(sqlite3* db, const QString& sql) {
    Check(db, sqlite3_exec(db, sql.toUtf8(), nullptr, nullptr, nullptr));
}

// Runs one prepared insert per row, binding the texts in order.
class Insert {
public:
    Insert(sqlite3* db, const QString& sql) : db(db) {
        Check(db, sqlite3_prepare_v2(db, sql.toUtf8(), -1, &stmt, nullptr));
    }
    ~Insert() { sqlite3_finalize(stmt); }
    void Run(const QStringList& values) {
        for (int i = 0; i < values.size(); ++i) {
            const QByteArray text = values[i].toUtf8();
            Check(db, sqlite3_bind_text(stmt, i + 1, text.constData(), int(text.size()),
                                        SQLITE_TRANSIENT));
        }
        Check(db, sqlite3_step(stmt));
        sqlite3_reset(stmt);
    }

private:
    sqlite3* db;
    sqlite3_stmt* stmt = nullptr;
};

QString Placeholders(int count) {
    return QStringList(count, "?").join(',');
}

QString NumericText(Sequence& random, int field) {
    if (random.Below(20) == 0)
        return kWords[random.Below(int(kWords.size()))];
    if (field == 1)
        return QString::number(random.Below(100000));
    const QString sign = field == 2 && random.Below(4) == 0 ? "-" : "";
    return sign + QString::number(random.Below(1000000) / 100.0, 'f', random.Below(3));
}

QString Guid(Sequence& random, int index) {
    const auto part = [&random] {
        return uchar(random.Next());
    };
    return QUuid(uint(index), ushort(random.Next()), ushort(random.Next()), part(), part(), part(),
                 part(), part(), part(), part(), part())
        .toString(QUuid::WithoutBraces);
}

// One customer a second, oldest first.
QString CreationTime(int index) {
    const int day = index / 86400;
    const int second = index % 86400;
    return QString("%1-%2-%3 %4:%5:%6")
        .arg(2000 + day / 336)
        .arg(1 + day / 28 % 12, 2, 10, QChar('0'))
        .arg(1 + day % 28, 2, 10, QChar('0'))
        .arg(second / 3600, 2, 10, QChar('0'))
        .arg(second / 60 % 60, 2, 10, QChar('0'))
        .arg(second % 60, 2, 10, QChar('0'));
}

QStringList CustomerRow(Sequence& random, int index) {
    const QString name = kSurnames[random.Below(int(kSurnames.size()))] +
                         kGivenChars[random.Below(30)] +
                         (random.Below(3) ? QString(kGivenChars[random.Below(30)]) : QString());
    QStringList row = {Guid(random, index), QString::number(random.Below(kGroups) + 1), name,
                       QString::number(13000000000LL + random.Next() % 900000000LL)};
    row << QString("19%1-%2-%3")
               .arg(50 + random.Below(50))
               .arg(1 + random.Below(12), 2, 10, QChar('0'))
               .arg(1 + random.Below(28), 2, 10, QChar('0'))
        << (random.Below(2) ? "男" : "女")
        << kCities[random.Below(int(kCities.size()))] + QString::number(random.Below(300)) + "号"
        << QString("第%1贸易有限公司").arg(random.Below(5000)) << "销售经理"
        << QString("user%1@example.com").arg(random.Next() % 1000000)
        << QString::number(10000 + random.Next() % 90000000) << QString("wx_%1").arg(index)
        << "朋友介绍" << (random.Below(2) ? "钓鱼、读书" : "旅游")
        << QString::number(random.Below(5))
        << kSurnames[random.Below(int(kSurnames.size()))] + "先生";
    for (int field = 0; field < kNumericFields.size(); ++field)
        row << NumericText(random, field);
    row << QString("老客户，第%1次回访，需要跟进").arg(random.Below(20)) << CreationTime(index);
    return row;
}

void Fill(sqlite3* db, int count) {
    Exec(db, "begin");
    Insert group(db, "insert into CustomerType(SelfIndex, ParentIndex, TypeName) values (?, 0, ?)");
    for (int i = 1; i <= kGroups; ++i)
        group.Run({QString::number(i), QString("分组%1").arg(i)});
    Insert title(db, "insert into AppTitle(TitleName, TitleType) values (?, ?)");
    for (const QString& field : CustomFieldNames()) {
        title.Run({field, NumericFieldNames().contains(field) ? "4" : "0"});
        Exec(db, QString("alter table Customer add \"%1\" varchar(255)").arg(field));
    }
    QStringList columns = {"GUID", "TypeID", "姓名", "手机号码"};
    columns << CustomFieldNames() << "备注"
            << "新建时间";
    Insert customer(db, QString("insert into Customer(%1) values (%2)")
                            .arg(columns.join(','), Placeholders(int(columns.size()))));
    Sequence random;
    for (int i = 0; i < count; ++i)
        customer.Run(CustomerRow(random, i));
    Exec(db, "commit");
}

// A message every 30 seconds from the first of January 2023.
QString SendTime(int index) {
    return QDateTime(QDate(2023, 1, 1), QTime(8, 0))
        .addSecs(qint64(index) * 30)
        .toString("yyyy-MM-dd hh:mm:ss");
}

QStringList MessageRow(Sequence& random, int index) {
    const int customer = random.Below(100000);
    const QString name = kSurnames[customer % kSurnames.size()] + kGivenChars[customer % 30];
    const bool modem = random.Below(2) == 0;
    const int outcome = random.Below(20) == 0 ? 2 : 1;
    const int delivery = outcome == 2 ? 0 : !modem ? 1 : 2 + random.Below(3);
    const QString deliveryTime = delivery >= 3 ? SendTime(index + 1) : QString();
    return {QString::number(index / 50 + 1),
            SendTime(index),
            QString("%1").arg(customer, 8, 10, QChar('0')),
            name,
            QString::number(13000000000LL + customer),
            name + QString("您好，本店第%1期会员日全场八折，欢迎光临！").arg(index / 50 + 1),
            modem ? "0" : "1",
            QString::number(outcome),
            modem ? (outcome == 1 ? "1" : "0") : (outcome == 1 ? "000" : "-01"),
            modem ? "" : (outcome == 1 ? "000" : "-01"),
            QString::number(delivery),
            deliveryTime,
            modem ? QString::number(index % 256) : QString(),
            modem ? QString(delivery == 3   ? "D"
                            : delivery == 4 ? "F"
                                            : "-")
                  : QString()};
}

void FillMessages(sqlite3* db, int count) {
    Exec(db, "begin");
    Insert message(db, "insert into SmsLog(BatchID, SendTime, GUID, Name, Mobile, Message, Way, "
                       "Outcome, Result, Reply, Delivery, DeliveryTime, Refs, PartStates) "
                       "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, nullif(?, ''), nullif(?, ''), "
                       "nullif(?, ''))");
    Sequence random;
    for (int i = 0; i < count; ++i)
        message.Run(MessageRow(random, i));
    Exec(db, "commit");
}

// Writes the file at folder/name once, by fill; later calls find it there.
QString GeneratedFile(const QString& folder, const QString& name,
                      const std::function<void(sqlite3*)>& fill) {
    QDir().mkpath(folder);
    const QString path = folder + '/' + name;
    if (QFile::exists(path))
        return path;
    const QString partial = path + ".part";
    QFile::remove(partial);
    if (!QFile::copy(SEED_DATAFILE, partial))
        throw std::runtime_error("cannot copy the empty data file");
    QFile::setPermissions(partial, QFile::ReadOwner | QFile::WriteOwner);
    sqlite3* db = nullptr;
    sqlite3_open_v2(partial.toUtf8(), &db, SQLITE_OPEN_READWRITE, nullptr);
    try {
        Exec(db, "pragma journal_mode = off");
        fill(db);
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
    QFile::rename(partial, path);
    return path;
}

} // namespace

QStringList CustomFieldNames() {
    return kTextFields + kNumericFields;
}

QStringList NumericFieldNames() {
    return kNumericFields;
}

QString CustomerListQuery(const QString& orderBy) {
    return "select a.GUID,b.TypeName as 所属分组,姓名,手机号码," + CustomFieldNames().join(',') +
           ",备注,新建时间 from Customer a, CustomerType b  where a.TypeID=b.SelfIndex  order by " +
           orderBy + " ";
}

QString CustomerFile(int count, const QString& folder) {
    return GeneratedFile(folder, QString("customers-%1.dat").arg(count),
                         [count](sqlite3* db) { Fill(db, count); });
}

QString SmsLogFile(int count, const QString& folder) {
    return GeneratedFile(folder, QString("messages-%1.dat").arg(count),
                         [count](sqlite3* db) { FillMessages(db, count); });
}
