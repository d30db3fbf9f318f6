#include "customers/FieldDefinitions.h"

#include "data/DbAccess.h"
#include "data/Exceptions.h"

#include <QLocale>
#include <QRegularExpression>

#include <utility>

namespace {

struct TKindText {
    const char* name;
    const char* help;
};

constexpr TKindText kKinds[] = {
    {"标准文本框", "可以输入基本文字信息，可在默认值里设置预先定义的文本信息"},
    {"标准下拉框", "可以从预先定义的默认值里选择一个选项，同时也可以直接输入文字信息"},
    {"记忆下拉框", "可以记住并选择之前输入过的内容，同时也可以直接输入文字信息"},
    {"日期选择框", "可以选择日期信息，也可以预先设置一个默认日期"},
    {"数字文本框", "只可以输入数字信息，并可以在浏览信息的内容时自动汇总该字段"},
};
constexpr int kKindCount = int(std::size(kKinds));

struct TReservedName {
    const char* name;
    const char* message;
};

constexpr TReservedName kReservedNames[] = {
    {"姓名", "标题名称不能填 姓名！"},          {"所属分组", "标题名称不能填  所属分组！"},
    {"手机号码", "标题名称不能填  手机号码！"}, {"新建时间", "标题名称不能填  新建时间！"},
    {"备注", "标题名称不能填  备注！"},
};

// What the editor's name box takes, and what a custom column of Customer holds.
constexpr int kNameLength = 10;
constexpr int kColumnLength = 100;

QString AddColumn(const QString& name) {
    const QString column = QuoteIdent(name);
    const QString length = QString::number(kColumnLength);
    return "alter table Customer add " + column + " varchar(" + length + ") check (length(" +
           column + ") <= " + length + ")";
}

// Every value the definition may hand to a new customer: each preset, or the default.
QStringList DefaultValues(const TFieldDefinition& field) {
    if (field.Kind == kPickField)
        return ReadPresets(field.Values);
    return {field.Values};
}

// The engine counts a character beyond the 16-bit range as one.
bool FitsColumn(const QString& value) {
    return value.toUcs4().size() <= kColumnLength;
}

// The definition as it is stored, its name trimmed; stops at the first rule it breaks.
TFieldDefinition CheckedDefinition(const TFieldDefinition& field) {
    TFieldDefinition stored = field;
    stored.Name = field.Name.trimmed();
    CheckReservedName(stored.Name);
    if (stored.Name.size() > kNameLength)
        Fail(QStringLiteral("标题名称不能超过%1个字符！").arg(kNameLength));
    for (const QString& value : DefaultValues(stored))
        if (!FitsColumn(value))
            Fail(QStringLiteral("默认值不能超过%1个字符！").arg(kColumnLength));
    return stored;
}

QString DropColumn(const QString& name) {
    return "alter table Customer drop column " + QuoteIdent(name);
}

QString BatchText(const QList<SqlStatement>& statements) {
    QStringList texts;
    for (const SqlStatement& statement : statements)
        texts << statement.sql;
    return texts.join("@#@");
}

// SQLite folds the letter case of ASCII names only; the program's readers fold every letter.
void CheckColumnIsFree(const QString& name, const QString& ownColumn,
                       const QList<SqlStatement>& batch) {
    for (TDataSet& columns = DbAccess().OpenQuery("select name from pragma_table_info('Customer')");
         !columns.Eof(); columns.Next()) {
        const QString column = columns.AsString(0);
        if (column != ownColumn && column.compare(name, Qt::CaseInsensitive) == 0)
            throw EDBException("duplicate column name: " + name, QStringLiteral("数据库操作失败！"),
                               BatchText(batch));
    }
}

SqlStatement UpdateRow(const QString& oldName, const TFieldDefinition& field) {
    return {"update AppTitle set TitleName=?,TitleType=?,TitleValues=?,Titlebt=?,Titlewy=? "
            "where TitleName=? collate nocase",
            {field.Name, field.Kind, field.Values, field.Required, field.Unique, oldName}};
}

QList<SqlStatement> RenameColumn(const QString& oldName, const QString& newName) {
    if (oldName.compare(newName, Qt::CaseInsensitive) == 0)
        return {{"alter table Customer rename column " + QuoteIdent(oldName) + " to " +
                     QuoteIdent(newName),
                 {}}};
    return {{AddColumn(newName), {}},
            {"update Customer set " + QuoteIdent(newName) + "=" + QuoteIdent(oldName), {}},
            {DropColumn(oldName), {}}};
}

} // namespace

QString ShortDateFormat() {
    static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
    return QLocale().dateFormat(QLocale::ShortFormat).replace(twoDigitYear, "yyyy");
}

QString ShortDateText(const QDate& date) {
    return QLocale().toString(date, ShortDateFormat());
}

QDate ParseFieldDate(const QString& text) {
    const QString trimmed = text.trimmed();
    for (const char* format : {"yyyy-MM-dd", "yyyy-M-d", "yyyy/M/d", "yyyy.M.d"})
        if (const QDate date = QDate::fromString(trimmed, QString::fromLatin1(format));
            date.isValid())
            return date;
    return QLocale().toDate(trimmed, ShortDateFormat());
}

QList<TFieldDefinition> ReadFieldDefinitions() {
    QList<TFieldDefinition> fields;
    for (TDataSet& rows = DbAccess().OpenQuery(
             "select TitleName,TitleValues,TitleType,Titlebt,Titlewy from APPTitle");
         !rows.Eof(); rows.Next())
        fields.append({rows.AsString(0), rows.AsString(1), rows.AsInteger(2),
                       rows.AsInteger(3) != 0, rows.AsInteger(4) != 0});
    return fields;
}

QStringList TitleNames() {
    QStringList names;
    for (const TFieldDefinition& field : ReadFieldDefinitions())
        names << field.Name;
    return names;
}

QString JoinTitleNames() {
    return TitleNames().join(',');
}

SqlStatement TitleListStatement() {
    return {"select TitleName,TitleType,TitleValues,"
            "case when Titlebt<>0 then '是' else '否' end,"
            "case when Titlewy<>0 then '是' else '否' end from AppTitle",
            {}};
}

int CountToken(const QString& text, const QString& token) {
    int count = 0;
    for (qsizetype at = text.indexOf(token); at >= 0 && !token.isEmpty();
         at = text.indexOf(token, at + 1))
        ++count;
    return count;
}

QString TakeToken(QString& text, const QString& token) {
    const qsizetype at = text.indexOf(token);
    if (at < 0)
        return std::exchange(text, QString());
    const QString piece = text.left(at);
    text.remove(0, at + token.size());
    return piece;
}

QStringList ReadPresets(const QString& stored) {
    QString rest = stored;
    QStringList presets;
    const int count = CountToken(stored, kPresetSeparator);
    for (int taken = 0; taken <= count && !rest.isEmpty(); ++taken)
        presets << TakeToken(rest, kPresetSeparator);
    return presets;
}

QStringList KindNames() {
    QStringList names;
    for (const TKindText& kind : kKinds)
        names << QString::fromUtf8(kind.name);
    return names;
}

QString KindName(int kind) {
    return kind >= 0 && kind < kKindCount ? QString::fromUtf8(kKinds[kind].name) : QString();
}

QString KindHelp(int kind) {
    return kind >= 0 && kind < kKindCount ? QString::fromUtf8(kKinds[kind].help) : QString();
}

QString PresetText(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + kPresetSeparator;
    return text;
}

void CheckReservedName(const QString& name) {
    for (const TReservedName& reserved : kReservedNames)
        if (name == QString::fromUtf8(reserved.name))
            Fail(QString::fromUtf8(reserved.message));
}

bool TitleExists(const QString& name) {
    return ExecScalarSql("select count(TitleName) from AppTitle where TitleName=? collate nocase",
                         {name}) > 0;
}

TFieldDefinition LoadTitle(const QString& name) {
    TDataSet& row =
        DbAccess().OpenQuery("select * from APPTitle where TitleName=? collate nocase", {name});
    if (row.Eof())
        return {};
    return {row.AsString("TitleName"), row.AsString("TitleValues"), row.AsInteger("TitleType"),
            row.AsBoolean("Titlebt"), row.AsBoolean("Titlewy")};
}

void AddTitle(const TFieldDefinition& typed) {
    const TFieldDefinition field = CheckedDefinition(typed);
    if (TitleExists(field.Name))
        Fail(QStringLiteral("标题名称不能重复！"));
    const QList<SqlStatement> batch{
        {"insert into AppTitle(TitleName,TitleType,TitleValues,Titlebt,Titlewy) "
         "values (?,?,?,?,?)",
         {field.Name, field.Kind, field.Values, field.Required, field.Unique}},
        {AddColumn(field.Name), {}}};
    CheckColumnIsFree(field.Name, QString(), batch);
    ExecSql(batch);
}

void ModifyTitle(const QString& oldName, const TFieldDefinition& typed) {
    const TFieldDefinition field = CheckedDefinition(typed);
    QList<SqlStatement> batch{UpdateRow(oldName, field)};
    if (field.Name != oldName)
        batch += RenameColumn(oldName, field.Name);
    CheckColumnIsFree(field.Name, oldName, batch);
    ExecSql(batch);
}

void DropTitle(const QString& name) {
    ExecSql(QList<SqlStatement>{{DropColumn(name), {}},
                                {"delete from Apptitle where titleName=? collate nocase", {name}}});
}
