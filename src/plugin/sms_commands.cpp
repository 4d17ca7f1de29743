#include "plugin/panels.h"

int CSMSMobilePanel::ProcessKey(int, unsigned int) { return 0; }
