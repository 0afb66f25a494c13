// Writing the registration table for one installation.
#pragma once
#include "engine/installation.h"

// Writes the registry entries of the installed package for the run's destination,
// through its journal. An entry that cannot be written is noted among the failures
// (named by its key and value) and the next one is still written. 1 when every entry was
// written.
int RegisterSystem(Installation* run);
