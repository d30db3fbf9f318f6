#include "notebook/NoteTab.h"

#include "controls/DateKeys.h"
#include "controls/VoskTree.h"
#include "notebook/Note.h"
#include "ui/ExceptionHandler.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {} // namespace

TNoteTab::TNoteTab(QTreeWidget* tree, QWidget* parent)
    : QWidget(parent), tvNote(tree), mmoNote(new TNoteMemo(this)) {
    QFont font = mmoNote->font();
    font.setPixelSize(16);
    mmoNote->setFont(font);
    mmoNote->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmoNote->setAccessibleName(QStringLiteral("记事内容"));
    mmoNote->setReadOnly(true);
    mmoNote->installEventFilter(this);
    ConnectHandled(mmoNote, &QPlainTextEdit::textChanged, this, &TNoteTab::mmoNoteChange);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(mmoNote, 1);
    layout->addWidget(CreateFindStrip());

    tvNote->setToolTip(QStringLiteral("点右键可以新建、修改和删除分组"));
    tvNote->setContextMenuPolicy(Qt::CustomContextMenu);
    InstallRenameInPlace(
        tvNote, [this](QTreeWidgetItem* node, const QString& text) { tvNoteEdited(node, text); });
    CreateTreeMenu();
    connect(tvNote, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { pmNoteType->popup(tvNote->viewport()->mapToGlobal(at)); });
    // Mouse, keyboard or a deletion: the memo follows the selection however it moves.
    ConnectHandled(tvNote, &QTreeWidget::itemSelectionChanged, this, &TNoteTab::tvNoteClick);
}

TNoteTab::~TNoteTab() = default;

QWidget* TNoteTab::CreateFindStrip() {
    auto* strip = new QWidget(this);
    Edit1 = new QLineEdit(strip);
    Edit1->setAccessibleName(QStringLiteral("查找字符"));
    btn2 = new QPushButton(QStringLiteral("查找"), strip);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(2, 0, 2, 2);
    row->addWidget(new QLabel(QStringLiteral("查找字符"), strip));
    row->addWidget(Edit1, 1);
    row->addWidget(btn2);
    connect(btn2, &QPushButton::clicked, this, [this] { btn2Click(); });
    connect(Edit1, &QLineEdit::returnPressed, btn2, &QPushButton::click);
    return strip;
}

void TNoteTab::CreateTreeMenu() {
    pmNoteType = new QMenu(this);
    NAddNoteType = pmNoteType->addAction(QStringLiteral("新建组"));
    NModNoteType = pmNoteType->addAction(QStringLiteral("重命名组"));
    NDelNoteType = pmNoteType->addAction(QStringLiteral("删除组"));
    ConnectHandled(NAddNoteType, &QAction::triggered, this, &TNoteTab::NAddNoteTypeClick);
    ConnectHandled(NModNoteType, &QAction::triggered, this, &TNoteTab::NModNoteTypeClick);
    ConnectHandled(NDelNoteType, &QAction::triggered, this, &TNoteTab::NDelNoteTypeClick);
}

// ---- opening and closing ----

void TNoteTab::CreateTree() {
    NoteTree = std::make_unique<TVoskTree>(tvNote, NoteGroups());
}

void TNoteTab::FormShow() {
    LoadTree();
    ShowRootNote();
}

void TNoteTab::LoadTree() {
    NoteTree->LoadTree();
}

void TNoteTab::ShowRootNote() {
    // Selecting the root shows its note.
    tvNote->setCurrentItem(NoteTree->RootNode());
}

void TNoteTab::FreeTree() {
    NoteTree.reset();
    tvNote->clear();
}

// ---- the note ----

void TNoteTab::tvNoteClick() {
    shownGroup.reset();
    mmoNote->setReadOnly(true);
    if (!NoteTree || !NoteTree->SelectedNode())
        return;
    const int group = NoteTree->SelectedIndex();
    const QString text = Note().Load(group);
    {
        // The memo gets the stored text: nothing to write.
        QScopedValueRollback<bool> guard(showing, true);
        mmoNote->SetExactText(text);
    }
    shownGroup = group;
    mmoNote->setReadOnly(false);
}

void TNoteTab::mmoNoteChange() {
    if (showing || !NoteTree || !NoteTree->SelectedNode())
        return;
    const int group = NoteTree->SelectedIndex();
    if (shownGroup != group)
        return;
    Note().Write(group, mmoNote->ExactText());
}

bool TNoteTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mmoNote && event->type() == QEvent::KeyPress && !mmoNote->isReadOnly()) {
        const QString text = DateKeyText(static_cast<QKeyEvent*>(event));
        if (!text.isEmpty()) {
            mmoNote->insertPlainText(text);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TNoteTab::btn2Click() {
    QTextCursor cursor = mmoNote->textCursor();
    const QString what = Edit1->text();
    const int found = FindNoteText(mmoNote->ExactText(), what, cursor.selectionEnd());
    if (found < 0) {
        cursor.setPosition(0);
        mmoNote->setTextCursor(cursor);
        return;
    }
    mmoNote->setFocus();
    cursor.setPosition(found);
    cursor.setPosition(found + int(what.size()), QTextCursor::KeepAnchor);
    mmoNote->setTextCursor(cursor);
}

// ---- group commands ----

void TNoteTab::NAddNoteTypeClick() {
    // The new group is selected, and the memo shows its (empty) note.
    NoteTree->NewGroup();
}

void TNoteTab::NModNoteTypeClick() {
    QTreeWidgetItem* selected = NoteTree->SelectedNode();
    if (!selected || selected == NoteTree->RootNode())
        return;
    StartRename(tvNote, selected);
}

void TNoteTab::tvNoteEdited(QTreeWidgetItem* node, const QString& newText) {
    if (newText == node->text(0))
        return;
    tvNote->setCurrentItem(node);
    NoteTree->RenameGroup(newText);
}

void TNoteTab::NDelNoteTypeClick() {
    if (!NoteTree->SelectedNode())
        return;
    NoteTree->DeleteGroup([](int group) { return Note().DeleteByTypeStatements(group); });
    tvNoteClick();
}
