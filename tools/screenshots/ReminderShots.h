#pragma once

#include "CustomerShots.h"

// The reminder tab with reminders of every frequency and status, the editor in each frequency,
// a pop-up of each kind and the preset texts, all as of a fixed moment.
void ShootReminders(TFormMain& form, const SaveShot& save);
