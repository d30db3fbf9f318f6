#pragma once

#include "CustomerShots.h"

// The SMS settings in both modes, the composition with a message and numbers, and the batch
// monitor during and after a batch, the history of kept messages and a customer's page of them.
void ShootSms(const SaveShot& save);
