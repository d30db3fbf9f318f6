// One keystroke on a 1 MB note: the note's write (one read, one write through the updatable
// cursor) and the whole keystroke in the notebook's memo, against the raw engine's update of the
// same row in the same run.
#include "BenchMain.h"
#include "data/AppDir.h"
#include "data/DbAccess.h"
#include "notebook/Note.h"
#include "notebook/NoteTab.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr int kNoteBytes = 1 << 20;

// A 1 MB note of lines of Latin and Chinese text, as the root's note.
QString StoreLargeNote() {
    QString text;
    for (qsizetype bytes = 0; bytes < kNoteBytes;) {
        const QString line =
            QStringLiteral("第%1行：今天给客户回电话 call back ABC-123。\n").arg(text.size());
        bytes += line.toUtf8().size();
        text += line;
    }
    ExecSql("delete from NoteBook");
    Note().Write(0, text);
    return text;
}

void BM_RawEngineUpdate(benchmark::State& state) {
    QByteArray text = StoreLargeNote().toUtf8();
    sqlite3* db = nullptr;
    sqlite3_open_v2(qPrintable(AppDir() + "bookkeep.dat"), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "update NoteBook set ReMark=? where TypeID=0", -1, &stmt, nullptr);
    for (auto _ : state) {
        text.append('a');
        sqlite3_bind_text(stmt, 1, text.constData(), int(text.size()), SQLITE_STATIC);
        sqlite3_step(stmt);
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

void BM_NoteWrite(benchmark::State& state) {
    QString text = StoreLargeNote();
    for (auto _ : state) {
        text.append('a');
        Note().Write(0, text);
    }
}

void BM_MemoKeystroke(benchmark::State& state) {
    StoreLargeNote();
    QTreeWidget tree;
    TNoteTab tab(&tree);
    tab.CreateTree();
    tab.FormShow();
    tab.mmoNote->moveCursor(QTextCursor::End);
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
        QCoreApplication::sendEvent(tab.mmoNote, &press);
    }
    if (Note().Load(0) != tab.mmoNote->toPlainText())
        state.SkipWithError("the keystrokes were not stored");
}

BENCHMARK(BM_RawEngineUpdate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NoteWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoKeystroke)->Unit(benchmark::kMillisecond);

} // namespace

TBenchSetUp BenchSetUp(const QString&) {
    return {SEED_DATAFILE, {}, {}};
}
