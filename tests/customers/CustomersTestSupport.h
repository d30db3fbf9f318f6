#pragma once

#include "app/FormMain.h"
#include "customers/CustomerTab.h"
#include "support/AppDirTest.h"
#include "support/Modal.h"

#include <QApplication>
#include <QTimer>

#include <functional>
#include <memory>

// A fresh data file with the customers' helpers; the main window, its customer tab at hand, once
// a test opens it.
class CustomersTest : public AppDirTest {
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
    // A column of any result as texts, in its order.
    static QStringList Column(const TDataSet& rows, const QString& field);

    std::unique_ptr<TFormMain> form;
    TCustomerTab* tab = nullptr;
};
