#pragma once

#include "app/FormMain.h"
#include "customers/CustomerTab.h"
#include "support/AppDirTest.h"
#include "support/Modal.h"

#include <QApplication>
#include <QTimer>

#include <functional>
#include <memory>

// The main window on a fresh data file, its customer tab at hand.
class CustomerTabTest : public AppDirTest {
protected:
    void SetUp() override;
    void TearDown() override;
    void OpenMainWindow();

    // Adds a custom field definition with its column, as the field dialogs store them.
    void AddField(const QString& name, int kind, const QString& values = QString(),
                  bool required = false, bool unique = false);
    void AddCustomer(const QString& guid, int group, const QString& name, const QString& tel,
                     const QVariantList& custom = {}, const QStringList& fields = {});
    void AddGroup(int self, int parent, const QString& name);
    QTreeWidgetItem* Node(const QString& text) const;
    // The list's column as texts, in the grid's order.
    QStringList Column(const QString& field) const;

    std::unique_ptr<TFormMain> form;
    TCustomerTab* tab = nullptr;
};
