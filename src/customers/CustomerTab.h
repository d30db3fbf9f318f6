#pragma once

#include <QList>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QTreeWidget;
class QTreeWidgetItem;
class TVoskDBGrid;
class TVoskTree;

// A customer on the list with the number an SMS goes to.
struct TListedCustomer {
    QString Name;
    QString Tel;
    QString Guid;
};

// The customer tab beside its group tree: the list of the selected group's customers with the
// quick search, the count and totals in the status bar, and the commands of the tree and the
// list.
class TCustomerTab : public QWidget {
    Q_OBJECT
public:
    TCustomerTab(QTreeWidget* tree, QWidget* parent = nullptr);
    ~TCustomerTab() override;

    // The main window's opening and closing.
    void CreateTree();
    // The tree, the search fields and the list; the main window runs each step on its own.
    void FormShow();
    void LoadTree();
    void FillSearchFields();
    void FreeTree();

    void LoadCustomerList();
    void ShowTotals();
    void ShowCount();
    // The status bar's panels, left to right.
    QStringList StatusTexts() const;
    // Every listed customer that has a number, in the grid's order.
    QList<TListedCustomer> ListedCustomersWithNumber() const;

    // Tree commands.
    void NAddIETypeClick();
    void NModIeTypeClick();
    void tv1Edited(QTreeWidgetItem* node, const QString& newText);
    void NDelIETypeClick();
    void tv1Click();
    // The list follows every change of the selected group (a press of either mouse button, the
    // keys), so the highlighted group is always the listed one.
    void FollowSelection();
    // List commands.
    void NAddCustomerClick();
    void NModCustomerClick();
    void N3Click();
    void N9Click();
    void N7Click();
    void Excel1Click();
    void btnQueryClick();

    QTreeWidget* tv1;
    QMenu* pmCustomerType;
    QAction* NAddIEType;
    QAction* NModIeType;
    QAction* NDelIEType;
    QAction* NAddCustomer2;
    TVoskDBGrid* DBGrid1;
    QStatusBar* stat1;
    QComboBox* cbbQuery;
    QLineEdit* edtQuery;
    QPushButton* btnQuery;
    QMenu* pmCustomer;
    QAction* NAddCustomer;
    QAction* NModCustomer;
    QAction* N3;
    QAction* N9;
    QAction* N7;
    QAction* Excel1;
    std::unique_ptr<TVoskTree> CustomerTree;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateTreeMenu();
    void CreateListMenu();
    QWidget* CreateSearchBox();
    QString ListQuery(QVariantList& params) const;
    QString CurrentGuid() const;
    void AddPanel(const QString& text, int width, bool alignRight);

    QList<QLabel*> panels;
    // The group the list shows; none before the first load.
    std::optional<int> listedGroup;
    int loads = 0;
    int loadsAtPress = 0;
};
