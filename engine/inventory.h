// The inventory of installed files: what an installation put at each target (its size and
// checksum), kept in the destination, so that a later installation can tell a file the
// user changed since from the one it put there.
#pragma once
#include "engine/copy.h"

// The record's file in the destination; the uninstaller removes it with the package.
constexpr char kInventoryFile[] = "UNINSTAL.DAT";

// The inventory as read: one line per file, "<size> <checksum, 8 hex digits> <target>".
struct Inventory {
    HGLOBAL handle;
    char* text; // terminated; nullptr when there is no inventory
    DWORD size;
    DWORD at;   // where the next look-up starts: targets are asked for in the order written
};

// Reads the inventory of destination `dest`. 0 when there is none or it cannot be read.
int InventoryRead(Inventory* r, const char* dest);
// What the inventory says was put at `target` (compared as paths). 1 when it names it.
int InventoryFind(Inventory* r, const char* target, FileSum* content);
void InventoryFree(Inventory* r);

// Appends the line of `target` to `text` (`*used` of `room` bytes used). 0 when it does
// not fit.
int InventoryAppend(char* text, DWORD room, DWORD* used, const char* target, const FileSum& content);
// Writes `size` bytes of `text` as the inventory of `dest`, whole: written under a staged
// name, then put in place of the previous inventory by one rename. When it cannot be, the
// previous inventory goes too (it no longer tells what is installed). Nothing is written
// for no file. 1 when written.
int InventoryWrite(const char* dest, const char* text, DWORD size, int staging);
