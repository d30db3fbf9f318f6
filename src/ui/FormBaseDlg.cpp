#include "ui/FormBaseDlg.h"

#include "ui/WindowPlacement.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QFrame* horizontalLine(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

TFormBaseDlg::TFormBaseDlg(QWidget* parent)
    : QDialog(parent ? parent : MainWindow(), Qt::Dialog | Qt::CustomizeWindowHint |
                                                  Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      pnlBody(new QWidget(this)), btnOK(new QPushButton(QStringLiteral("确定(&O)"), this)),
      btnCancel(new QPushButton(QStringLiteral("取消(&C)"), this)) {
    // Enter presses the focused button; from any other control it presses OK.
    btnOK->setDefault(true);
    btnOK->setAutoDefault(true);
    btnCancel->setAutoDefault(true);
    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    layButtons = new QHBoxLayout;
    layButtons->addStretch();
    layButtons->addWidget(btnOK);
    layButtons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(horizontalLine(this));
    layout->addWidget(pnlBody, 1);
    layout->addWidget(horizontalLine(this));
    layout->addLayout(layButtons);
}

void TFormBaseDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CentreOverMainWindow(*this);
}
