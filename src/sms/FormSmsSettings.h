#pragma once

#include "ui/FormBaseDlg.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TSmsTextEdit;

// "短信设置": the SMS switch, the sending mode with the modem's port or the web account, the
// account's balance and password, and the preset text. OK saves and reconnects the modem.
class TFormSMSCSSZ : public TFormBaseDlg {
    Q_OBJECT
public:
    explicit TFormSMSCSSZ(QWidget* parent = nullptr);

    void CSmsSelendClick();
    void rg1Click();
    void btn1Click();
    void btn2Click();
    int Mode() const;
    void SetMode(int mode);

    QCheckBox* CSmsSelend;
    QWidget* Panel1;
    QGroupBox* rg1;
    QButtonGroup* rg1Items;
    QWidget* pnlm;
    QComboBox* cbbcom;
    QWidget* pnlz;
    QLineEdit* Edtzh;
    QLineEdit* EdtPass;
    QPushButton* btn1;
    QLineEdit* Edtnewpass;
    QLineEdit* EdtRePass;
    QPushButton* btn2;
    TSmsTextEdit* mmoText;
    QLabel* LabTextcount;

protected:
    void btnOKClick() override;

private:
    QWidget* createModePanel();
    QWidget* createModemPanel();
    QWidget* createAccountPanel();
    QWidget* createTextBox();
    void FormShow();
    int portNumber() const;
};

void ShowSmsSettings();
