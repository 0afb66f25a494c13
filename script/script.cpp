#include "script/script.h"
int ReadSetupScript() { return 1; }
