#pragma once

#include <QString>

#include <functional>

class QWidget;
class TFormMain;

using SaveShot = std::function<void(QWidget&, const QString&)>;

// Groups, custom fields of all five kinds and a few customers, stored before the main window
// opens so that its customer tab shows them.
void FillCustomerSamples();
// The customer tab with a group selected, the customer editor and the group picker.
void ShootCustomers(TFormMain& form, const SaveShot& save);
