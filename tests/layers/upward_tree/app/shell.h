#pragma once
// Downward: allowed.
#include "playlist/win32/steps.h"
