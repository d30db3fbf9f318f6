#pragma once

#include "notebook/NoteMemo.h"

#include <QWidget>

#include <memory>
#include <optional>

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TVoskTree;

// The notebook tab beside its group tree: the selected group's note, written as it is typed,
// with the find strip under it and the group commands of the tree.
class TNoteTab : public QWidget {
    Q_OBJECT
public:
    TNoteTab(QTreeWidget* tree, QWidget* parent = nullptr);
    ~TNoteTab() override;

    // The main window's opening and closing.
    void CreateTree();
    // Loads the groups and shows the root's note; the main window runs each step on its own.
    void FormShow();
    void LoadTree();
    void ShowRootNote();
    void FreeTree();

    // Shows the note of the selected group; run whenever the selection moves.
    void tvNoteClick();
    void mmoNoteChange();
    void btn2Click();
    void NAddNoteTypeClick();
    void NModNoteTypeClick();
    void tvNoteEdited(QTreeWidgetItem* node, const QString& newText);
    void NDelNoteTypeClick();

    QTreeWidget* tvNote;
    QMenu* pmNoteType;
    QAction* NAddNoteType;
    QAction* NModNoteType;
    QAction* NDelNoteType;
    TNoteMemo* mmoNote;
    QLineEdit* Edit1;
    QPushButton* btn2;
    std::unique_ptr<TVoskTree> NoteTree;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateTreeMenu();
    QWidget* CreateFindStrip();

    // The group whose note the memo shows; none while it shows no group's note (it is then
    // read-only), so a change is never written under another group.
    std::optional<int> shownGroup;
    bool showing = false;
};
