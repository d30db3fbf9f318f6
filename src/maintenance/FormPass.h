#pragma once

#include "ui/FormBaseDlg.h"

class QLineEdit;

// The password prompt: closes with OK only once the expected password is typed, exactly.
class TFormPass : public TFormBaseDlg {
    Q_OBJECT
public:
    explicit TFormPass(const QString& expected, QWidget* parent = nullptr);

    QLineEdit* edtPass;

protected:
    void btnOKClick() override;
    void showEvent(QShowEvent* event) override;

private:
    QString expected;
};
