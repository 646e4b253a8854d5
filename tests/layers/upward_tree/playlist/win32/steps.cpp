#include "playlist/win32/steps.h"
// Upward: the one include the check must report.
#include "app/shell.h"
