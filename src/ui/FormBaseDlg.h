#pragma once

#include <QDialog>

#include "ui/WindowPlacement.h"

class QHBoxLayout;
class QPushButton;
class QWidget;

// The base of the program's dialogs: a close box only, centred over the main window, a line at
// the top, the dialog's own content in pnlBody, and a bottom strip with "确定(&O)" (the default
// button) and "取消(&C)" (Esc; closes with Cancel). OK closes nothing by itself: a derived
// dialog checks its input in btnOKClick and calls accept() when satisfied.
class TFormBaseDlg : public QDialog {
    Q_OBJECT
public:
    explicit TFormBaseDlg(QWidget* parent = nullptr);

    QWidget* pnlBody;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    // The bottom strip: a stretch, then the two buttons. A dialog may put its own at the left.
    QHBoxLayout* layButtons;

protected:
    virtual void btnOKClick() {}
    void showEvent(QShowEvent* event) override;
};
