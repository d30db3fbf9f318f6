#include "ui/FormBaseDlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// A dialog with one line edit that counts its OK clicks.
class TCountingDlg : public TFormBaseDlg {
public:
    QLineEdit* edit = new QLineEdit(pnlBody);
    int okClicks = 0;

protected:
    void btnOKClick() override { ++okClicks; }
};

} // namespace

TEST(FormBaseDlg, EnterPressesTheFocusedButtonAndOtherwiseOK) {
    TCountingDlg dialog;
    dialog.show();
    QApplication::setActiveWindow(&dialog);

    dialog.edit->setFocus();
    QTest::keyClick(dialog.edit, Qt::Key_Return);
    EXPECT_EQ(dialog.okClicks, 1);

    // A visit to Cancel leaves OK the button Enter presses from the edit.
    dialog.btnCancel->setFocus();
    dialog.edit->setFocus();
    QTest::keyClick(dialog.edit, Qt::Key_Return);
    EXPECT_EQ(dialog.okClicks, 2);
    EXPECT_TRUE(dialog.isVisible());

    dialog.btnCancel->setFocus();
    QTest::keyClick(dialog.btnCancel, Qt::Key_Return);
    EXPECT_EQ(dialog.okClicks, 2);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}
