#pragma once

#include "ui/FormBaseDlg.h"

class QCheckBox;
class QLineEdit;

// "软件设置": switches the login password on or off and changes it. Changing or switching off a
// stored password asks for it first.
class TFormConfig : public TFormBaseDlg {
    Q_OBJECT
public:
    explicit TFormConfig(QWidget* parent = nullptr);

    QCheckBox* chkPass;
    QLineEdit* edtPass;
    QLineEdit* edtRePass;

    void chkPassClick();

protected:
    void btnOKClick() override;

private:
    // The stored password, when one is stored, must be typed before it changes or goes.
    bool StoredPasswordGiven() const;
};
