#pragma once

#include "customers/GroupTable.h"
#include "data/DataSet.h"

#include <QList>
#include <QString>

#include <memory>

// The notes: at most one text per note group (0 is the root), in the table NoteBook. Texts reach
// the table only as bound values, through the updatable cursor.
class TNote {
public:
    // The group's note; empty when the group has none.
    QString Load(int typeId) const;
    // Stores the text as the group's note, after one read of it: overwrites a stored note that
    // differs, and adds a note only for a text that is not blank. True when it wrote.
    bool Write(int typeId, const QString& text);
    // The statement that deletes the group's note, for the batch that deletes the group.
    QList<SqlStatement> DeleteByTypeStatements(int typeId) const;
};

TNote& Note();

// The note groups (NoteType, filing NoteBook), under the root "根目录".
std::unique_ptr<TGroupTable> NoteGroups();

// Where what occurs in text at or after from, Latin letters a-z matching A-Z and every other
// character only itself; -1 when it does not occur or is empty.
int FindNoteText(const QString& text, const QString& what, int from);
