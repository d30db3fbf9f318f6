#pragma once

#include "data/DataSet.h"

#include <QList>
#include <QString>

// The notes: at most one text per note group (0 is the root), in the table NoteBook. Texts reach
// the table only as bound values, through the updatable cursor.
class TNote {
public:
    // Reads the group's note into the current record. False when the group has none (ReMark is
    // then empty).
    bool Load(int typeId);
    // Stores the text as the group's note, after one read of it: overwrites a stored note that
    // differs, and adds a note only for a text that is not blank. True when it wrote.
    bool Write(int typeId, const QString& text);
    // The statement that deletes the group's note, for the batch that deletes the group.
    QList<SqlStatement> DeleteByTypeStatements(int typeId) const;

    int TypeID = 0;
    QString ReMark;
};

TNote& Note();

// Where what occurs in text at or after from, Latin letters a-z matching A-Z and every other
// character only itself; -1 when it does not occur or is empty.
int FindNoteText(const QString& text, const QString& what, int from);
