#pragma once

#include "ui/FormBaseDlg.h"

#include <QWidget>

class QAction;
class QMenu;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;
class TVoskEdtBut;

// The editor of one attached file: its path, typed or chosen, and a remark.
class TFormBaseConnFile : public TFormBaseDlg {
    Q_OBJECT
public:
    explicit TFormBaseConnFile(QWidget* parent = nullptr);

    void EdtFileButClick();
    // Stops with "关联文件不能为空！" when the path is empty after trimming.
    void CheckFile();

    TVoskEdtBut* EdtFile;
    QPlainTextEdit* mmoRemark;

protected:
    void showEvent(QShowEvent* event) override;
};

class TFormAddConnFile : public TFormBaseConnFile {
    Q_OBJECT
public:
    explicit TFormAddConnFile(const QString& guid, QWidget* parent = nullptr);
    void btnOKClick() override;

private:
    QString guid;
};

class TFormModConnfile : public TFormBaseConnFile {
    Q_OBJECT
public:
    explicit TFormModConnfile(const QString& id, QWidget* parent = nullptr);
    void btnOKClick() override;

private:
    QString id;
};

// Open the editor modally; 1 when the entry was stored.
int ShowAddConnFileDialog(const QString& guid);
int ShowModConnFileDialog(const QString& id);

// The page "关联文件" of the customer editor: the customer's files with the commands to add,
// edit and delete entries, open a file and show it in the file manager.
class TConnFilePage : public QWidget {
    Q_OBJECT
public:
    explicit TConnFilePage(QWidget* parent = nullptr);

    void LoadList();
    void N1Click();
    void N2Click();
    void N3Click();
    void NOperFileClick();
    void NQueryFileClick();

    QString Guid;
    QTreeWidget* lvConnFile;
    QMenu* pmConnFile;
    QAction* N1;
    QAction* N2;
    QAction* N3;
    QAction* NOperFile;
    QAction* NQueryFile;

private:
    QAction* AddMenuItem(const QString& text, void (TConnFilePage::*command)());
    // The first selected row in list order that carries an ID; nullptr when there is none.
    QTreeWidgetItem* SelectedEntry() const;
};
