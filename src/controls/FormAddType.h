#pragma once

#include "ui/FormBaseDlg.h"

class QLineEdit;

// "新建组": asks for the name of a new group under the path it shows.
class TFormAddType : public TFormBaseDlg {
    Q_OBJECT
public:
    explicit TFormAddType(QWidget* parent = nullptr);

    QLineEdit* edtPos;
    QLineEdit* edtName;

    void btnOKClick() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
