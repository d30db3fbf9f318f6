#pragma once

#include "ui/FirstShow.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTimer;
class QTreeWidget;
class QAction;
class TAlamTab;
class TCustomerTab;
class TRunningHint;
class TNoteTab;

// The main window frame: the three tabs, the bottom bar, the system menu, the running hint,
// and the opening and closing of the program's data.
class TFormMain : public QWidget {
    Q_OBJECT
public:
    explicit TFormMain(QWidget* parent = nullptr);
    ~TFormMain() override;

    // Advances the running hint under the trees by one GBK byte (every 200 ms).
    void tmrHintTimer();
    void btnSystemClick();
    void chk1Click();
    void N15Click();
    void NOpenWWW1Click();
    // Reloads the customer list with the current custom fields.
    void btnQueryClick();

    QString HintText() const;
    // False until the user got past the login password (or none is set). A refused login leaves
    // the window with nothing loaded and ends the program.
    bool LoggedIn() const { return loggedIn; }

    QTabWidget* pgc1;
    QWidget* ts1;
    QWidget* ts2;
    QWidget* ts3;
    QTreeWidget* tv1;
    QStatusBar* statHint;
    QLabel* statHintPanel;
    QWidget* pnlCustomers;
    TCustomerTab* customers;
    QTreeWidget* tvNote;
    QStatusBar* stat2;
    QLabel* stat2Panel;
    QWidget* pnlNote;
    TAlamTab* alamTab;
    TNoteTab* notebook;
    QTreeWidget* lv1;
    QWidget* pnlBottom;
    QCheckBox* chk1;
    QPushButton* btnSystem;
    QMenu* pmSystem;
    QAction* N10;
    QAction* N15;
    QAction* N1;
    QAction* NSmsLog;
    QAction* N8;
    QAction* NOpenWWW1;
    QTimer* tmrHint;
    QTimer* tmr1; // the reminders' due check and the modem's delivery reports, every second

signals:
    void CustomerListReloaded();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void customEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    // Asks for the login password when one is set. False when the user did not give it.
    bool LogIn();
    bool FormCloseQuery();
    void FormClose();

    QWidget* createCustomerTab();
    QWidget* createNoteTab();
    QWidget* createReminderTab();
    QWidget* createBottomPanel();
    void createSystemMenu();
    void placeBottomButtons();
    void showHint(const QString& text);

    std::unique_ptr<TRunningHint> hint;
    TFirstShow firstShow;
    bool loggedIn = false;
    bool closed = false;
};
