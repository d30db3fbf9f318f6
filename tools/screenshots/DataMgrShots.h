#pragma once

#include "CustomerShots.h"

// Each page of "数据维护", the import page with two fields ticked.
void ShootDataMgr(const SaveShot& save);
