// One installation or removal of the package at a time on the whole machine: setup.exe
// and UNINSTAL.EXE take one lock of one name before they change anything.
#pragma once

// Takes the machine-wide lock, held until the program ends. 1 when taken; 0 when another
// setup or uninstaller of the package holds it.
int TakeRunLock();
