#pragma once

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class TSmsLogGrid;

// "短信记录": every message kept, narrowed by the days sent, a text in the name, number or
// message, and the state; the count in the status bar; export to a workbook; "重发失败" opens
// the composition with the failed numbers of the selection.
class TFormSmsLog : public QDialog {
    Q_OBJECT
public:
    explicit TFormSmsLog(QWidget* parent = nullptr);

    void btnQueryClick();
    void btnExportClick();
    void btnResendClick();
    QString CountText() const;

    QDateEdit* dtpFrom;
    QDateEdit* dtpTo;
    QLineEdit* edtText;
    QComboBox* cbbState;
    QPushButton* btnQuery;
    TSmsLogGrid* grdLog;
    QStatusBar* stat1;
    QLabel* labCount;
    QPushButton* btnExport;
    QPushButton* btnResend;
    QPushButton* btnClose;

private:
    QWidget* createFilter();
    QWidget* createButtons();
};

// Opens the window modally with every message kept, from the first day to today.
void ShowSmsLogDialog();
