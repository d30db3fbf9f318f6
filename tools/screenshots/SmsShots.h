#pragma once

#include "CustomerShots.h"

// The SMS settings in both modes, the composition with a message and numbers, and the batch
// monitor during and after a batch.
void ShootSms(const SaveShot& save);
