#include "support/Modal.h"

#include <QApplication>
#include <QTimer>

void WhenModal(std::function<void(QWidget*)> check) {
    QTimer::singleShot(0, [check] {
        QWidget* dialog = QApplication::activeModalWidget();
        check(dialog);
    });
}
