#pragma once

#include <functional>

class QWidget;

// Runs check on the modal dialog the next call opens, once it is up.
void WhenModal(std::function<void(QWidget*)> check);
