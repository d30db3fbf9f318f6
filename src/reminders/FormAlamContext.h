#pragma once

#include "ui/FirstShow.h"
#include "ui/FormBaseDlg.h"
#include "util/RunningHint.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QStatusBar;
class QTimer;
class QTreeWidget;

// The list of preset reminder texts ("预设提醒内容"): new, change and delete through its
// context menu; OK or a double click picks the selected text.
class TFormAlamContext : public TFormBaseDlg {
    Q_OBJECT
public:
    explicit TFormAlamContext(QWidget* parent = nullptr);

    void FormShow();
    void N1Click();
    void N2Click();
    void N3Click();
    void btnOKClick() override;
    void tmrHintTimer();

    QTreeWidget* lv1;
    QMenu* pm1;
    QAction* N1;
    QAction* N2;
    QAction* N3;
    QStatusBar* statHint;
    QLabel* statHintPanel;
    QTimer* tmrHint;
    QString ChosenText;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void reload();

    TRunningHint hint;
    TFirstShow firstShow;
};

// The dialog of one preset: a new one, or a change of the preset id.
class TFormAlamContextText : public TFormBaseDlg {
    Q_OBJECT
public:
    // id 0: a new preset ("新建提醒内容"); else a change of it ("修改提醒内容").
    explicit TFormAlamContextText(int id = 0, const QString& text = QString(),
                                  QWidget* parent = nullptr);
    void btnOKClick() override;

    const int Id;
    QPlainTextEdit* mmoNote;
};

// Each opens a fresh modal window and returns its result (QDialog::Accepted is OK).
int PickAlamContext(QString& chosenText);
int ShowAddAlamContextDialog();
int ShowModAlamContextDialog(int id, const QString& text);
