#include "notebook/Note.h"

#include "data/DbAccess.h"

namespace {

TDataSet& OpenNote(int typeId) {
    return DbAccess().OpenQuery("select * from NoteBook where TypeID=? order by ID", {typeId});
}

QString LatinLowerCase(const QString& text) {
    QString folded = text;
    for (QChar& c : folded)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    return folded;
}

} // namespace

TNote& Note() {
    static TNote instance;
    return instance;
}

QString TNote::Load(int typeId) const {
    TDataSet& note = OpenNote(typeId);
    return note.Eof() ? QString() : note.AsString("ReMark");
}

bool TNote::Write(int typeId, const QString& text) {
    TDataSet& note = OpenNote(typeId);
    if (!note.Eof()) {
        if (note.AsString("ReMark") == text)
            return false;
        note.Edit();
    } else {
        if (text.trimmed().isEmpty())
            return false;
        note.Append();
        note.SetField("TypeID", typeId);
    }
    note.SetField("ReMark", text);
    note.Post();
    return true;
}

QList<SqlStatement> TNote::DeleteByTypeStatements(int typeId) const {
    return {{"delete from NoteBook where TypeID=?", {typeId}}};
}

std::unique_ptr<TGroupTable> NoteGroups() {
    return std::make_unique<TGroupTable>(QStringLiteral("NoteType"), QStringLiteral("NoteBook"),
                                         QStringLiteral("根目录"));
}

int FindNoteText(const QString& text, const QString& what, int from) {
    if (what.isEmpty())
        return -1;
    return LatinLowerCase(text).indexOf(LatinLowerCase(what), from, Qt::CaseSensitive);
}
