#pragma once

#include "customers/Customer.h"
#include "ui/FormBaseDlg.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QScrollArea;
class QTabWidget;
class TConnFilePage;
class TSmsLogGrid;
class TVoskEdtBut;

// The customer editor: the group, name, number and remark, and one control per custom field
// (scrolling when there are more than fit), on the page "基本资料"; the attached files on the
// page "关联文件"; the messages sent to the customer, newest first, on the page "短信记录".
class TFormBaseCustomer : public TFormBaseDlg {
    Q_OBJECT
public:
    explicit TFormBaseCustomer(int fieldAreaHeight, QWidget* parent = nullptr);

    void EdtGoupButClick();
    // "发短信": sends to the number in the editor.
    void img1Click();

    QTabWidget* pgcCustomer;
    QWidget* tsBasic;
    QWidget* tsFiles;
    QWidget* tsSms;
    TVoskEdtBut* EdtGoup;
    QLineEdit* edtName;
    QLineEdit* edtTel;
    QLabel* img1;
    QScrollArea* pnlDIY;
    QWidget* pnlFields; // the custom field controls, inside pnlDIY
    QPlainTextEdit* mmoRemark;
    TConnFilePage* ConnFiles; // the page "关联文件"
    TSmsLogGrid* SmsGrid;     // the page "短信记录"

    int TypeID = 0;
    QString Guid;

    // Sets the group the customer is filed under.
    void SetGroup(int typeId, const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The customer as the editor holds it.
    TCustomerRecord Record() const;
};

class TFormAddCustomer : public TFormBaseCustomer {
    Q_OBJECT
public:
    explicit TFormAddCustomer(QWidget* parent = nullptr);
    void btnOKClick() override;
};

class TFormModCustomer : public TFormBaseCustomer {
    Q_OBJECT
public:
    explicit TFormModCustomer(QWidget* parent = nullptr);
    // Shows the stored customer keyed by Guid, with its files and messages.
    void LoadRecord();
    void btnOKClick() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool loaded = false;
};

// Open the editor modally; 1 when the customer was stored.
int ShowAddCustomerDialog(int typeId, const QString& typeName);
int ShowModCustomerDialog(const QString& guid);
