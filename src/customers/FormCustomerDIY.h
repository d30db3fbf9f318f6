#pragma once

#include "ui/FirstShow.h"
#include "ui/FormBaseDlg.h"

#include <QDialog>

class QAction;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// "自定义客户资料": the custom field definitions with their kind, default and flags, and the
// commands to add, change, drop and preview them. Closing after a change tells the main window
// (WM_FIELDS_CHANGED), which reloads the customer list with the new columns.
class TFormCustomerDIY : public QDialog {
    Q_OBJECT
public:
    explicit TFormCustomerDIY(QWidget* parent = nullptr);

    void LoadTitleList();
    void btnButAddTitleClick();
    void btnButModTitleClick();
    void btnButDelTitleClick();
    void btnButYLClick();

    QPushButton* btnButAddTitle;
    QPushButton* btnButModTitle;
    QPushButton* btnButDelTitle;
    QPushButton* btnButYL;
    QPushButton* btnButClose;
    QTreeWidget* lvTitle;
    QMenu* pm1;
    bool Changed = false;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* AddButton(const QString& text, void (TFormCustomerDIY::*command)());
    void AddMenuItem(const QString& text, void (TFormCustomerDIY::*command)());
    QTreeWidgetItem* SelectedTitle() const;
    TFirstShow firstShow;
};

// "预览 客户资料": the custom field controls laid out as the customer editor shows them, with
// their defaults and colours. Nothing typed there is kept.
class TFormBaseDIY : public TFormBaseDlg {
    Q_OBJECT
public:
    explicit TFormBaseDIY(QWidget* parent = nullptr);

    QWidget* pnlFields;
};

void ShowCustomerDIYDialog();
void ShowFieldPreview();
