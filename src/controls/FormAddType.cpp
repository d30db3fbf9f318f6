#include "controls/FormAddType.h"

#include "controls/DateKeys.h"
#include "controls/VoskTree.h"
#include "ui/Messages.h"

#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>

TFormAddType::TFormAddType(QWidget* parent)
    : TFormBaseDlg(parent), edtPos(new QLineEdit(pnlBody)), edtName(new QLineEdit(pnlBody)) {
    setWindowTitle(QStringLiteral("新建组"));
    edtPos->setReadOnly(true);
    edtPos->setStyleSheet("background-color: #d4d0c8;");
    edtPos->setAccessibleName(QStringLiteral("所在位置"));
    edtName->setAccessibleName(QStringLiteral("组名"));
    edtName->installEventFilter(this);
    auto* layout = new QFormLayout(pnlBody);
    layout->addRow(QStringLiteral("所在位置"), edtPos);
    layout->addRow(QStringLiteral("组名"), edtName);
    resize(340, 150);
    edtName->setFocus();
}

void TFormAddType::btnOKClick() {
    if (edtName->text().trimmed().isEmpty()) {
        ShowInfo(QStringLiteral("名称不能为空!"));
        return;
    }
    accept();
}

bool TFormAddType::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edtName && event->type() == QEvent::KeyPress) {
        const QString text = DateKeyText(static_cast<QKeyEvent*>(event));
        if (!text.isEmpty()) {
            edtName->insert(text);
            return true;
        }
    }
    return TFormBaseDlg::eventFilter(watched, event);
}

bool AskGroupName(const QString& path, QString& name) {
    TFormAddType dialog;
    dialog.edtPos->setText(path);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    name = dialog.edtName->text();
    return true;
}
