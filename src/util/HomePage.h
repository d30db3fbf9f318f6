#pragma once

#include <QString>

// The product's home page address.
QString HomePageAddress();
