#pragma once

#include "ui/FormBaseDlg.h"

#include <memory>

class IGroupRows;
class QPushButton;
class QTreeWidget;
class TVoskTree;

// "选择组": the groups of a table to choose from, with "新建分组" to add one on the spot.
class TFormViewCustomerType : public TFormBaseDlg {
    Q_OBJECT
public:
    explicit TFormViewCustomerType(std::unique_ptr<IGroupRows> groups, QWidget* parent = nullptr);
    ~TFormViewCustomerType() override;

    QTreeWidget* tv1;
    QPushButton* btn1;
    std::unique_ptr<TVoskTree> Tree;
    int ChosenIndex = 0;
    QString ChosenName;

    void btn1Click();
    void btnOKClick() override;
};
