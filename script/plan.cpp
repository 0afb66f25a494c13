#include "script/plan.h"
void FreePlan() {}
