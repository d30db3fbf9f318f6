#pragma once

#include "data/DbAccess.h"
#include "reminders/Alam.h"

#include <QApplication>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

// Stores one reminder through TAlam and returns its ID.
inline int AddAlam(int reDay, int hour, int minute, int monWeek, const QDate& date,
                   const QString& text) {
    Alam().Add({date, text, reDay, hour, minute, monWeek});
    return ExecScalarSql("select max(ID) from Alam");
}

inline QStringList ColumnTexts(const QTreeWidget* list, int column) {
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts << list->topLevelItem(row)->text(column);
    return texts;
}

inline int SeenFlag(int id) {
    return ExecScalarSql("select bLook from Alam where ID=?", {id});
}

// Runs work on the modal dialog of type T that the next call opens, once its loop runs.
template <typename T> void OnNextModal(std::function<void(T&)> work) {
    QTimer::singleShot(0, [work] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget()))
            work(*dialog);
    });
}
