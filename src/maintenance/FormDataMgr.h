#pragma once

#include "ui/FirstShow.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;
class QWidget;
class TVoskEdtBut;

// "数据维护": backup, restore and clear of the data file, and the import of customers from a
// workbook. It does not refresh the main window: the customer list shows the new data the
// next time it is queried.
class TFormDataMgr : public QDialog {
    Q_OBJECT
public:
    explicit TFormDataMgr(QWidget* parent = nullptr);

    void btnSaveClick();
    void btnAddClick();
    void Button1Click();
    void EdtGoupButClick();
    void btnInDataClick();

    // The fields ticked in lstbox1, in the list's order.
    QStringList TickedFields() const;
    int GroupIndex() const { return groupIndex; }

    QTabWidget* pgc1;
    QWidget* tsBackup;
    QWidget* tsRestore;
    QWidget* tsClear;
    QWidget* tsImport;
    QPushButton* btnSave;
    QPushButton* btnAdd;
    QLabel* labClear;
    QPushButton* Button1;
    TVoskEdtBut* EdtGoup;
    QListWidget* lstbox1;
    QLabel* labImport;
    QPushButton* btnInData;

protected:
    void showEvent(QShowEvent* event) override;
    // Refused while an import runs.
    void reject() override;

private:
    QWidget* createButtonPage(QPushButton*& button, const QString& caption, QLabel* text);
    QWidget* createImportPage();
    // The first show only: showing the dialog again keeps the ticks and the group.
    void FormShow();
    void RunImport(const QString& path);
    void ShowImportProgress(int rows);

    int groupIndex = 0;
    bool importing = false;
    TFirstShow firstShow;
};

int ShowDataMgrDialog(QWidget* parent = nullptr);
