#pragma once

#include "CustomerShots.h"

// The field list with the sample fields of every kind, the field editor in each kind, the
// preview, a sample customer's file list and the file entry dialog.
void ShootFields(const SaveShot& save);
