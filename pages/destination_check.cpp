// The checks a destination passes before the Destination page lets it through: drive
// form, free space on its drive, room for the package's paths under it, and the
// directory existing or created.
#include "pages/pages.h"
#include "base/path.h"
#include "base/text.h"
#include "res/ids.h"
#include "script/plan.h"
#include <ctype.h>

int IsDirectory(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int HasDriveForm(const char* dest)
{
    // The first character is not examined; a shorter text stops at its terminator.
    return dest[0] && dest[1] == ':' && dest[2] == '\\';
}

void DriveRoot(const char* dest, char root[4])
{
    root[0] = (char)toupper((unsigned char)dest[0]);
    root[1] = ':';
    root[2] = '\\';
    root[3] = '\0';
}

unsigned long long FreeKilobytes(DWORD sectorsPerCluster, DWORD bytesPerSector, DWORD freeClusters)
{
    return ((unsigned long long)freeClusters * bytesPerSector * sectorsPerCluster) >> 10;
}

int EnoughSpace(unsigned long long freeKb, short minimumKb)
{
    return minimumKb <= 0 || freeKb >= (unsigned long long)minimumKb;
}

int PlanFitsUnder(const char* dest)
{
    char path[kPathRoom];
    for (int key = 0; key < kDirKeyCount; ++key)
        if (DirKeyIsSubDirectory(key) && !(TextCopy(path, dest) && PathAppend(path, g_dirNames[key])))
            return 0;
    int fits = 1;
    ForEachRecord([&](int disk, int rec) {
        const FileRecord* r = PlanRecord(disk, rec);
        fits = fits && (!r->targetName[0] || r->systemDir || TargetPath(dest, disk, rec, path, kPathRoom));
    });
    return fits;
}

int CheckDestination(const char* dest, short minimumKb, int* created)
{
    if (created)
        *created = 0;
    char root[4];
    DriveRoot(dest, root);
    if (!HasDriveForm(dest))
        return IDS_CANNOT_CREATE;
    const int existed = IsDirectory(dest);

    // A drive that does not exist, or a first character that names none, gives no
    // figures to compare: the directory cannot be made there.
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
        return IDS_CANNOT_CREATE;
    if (!EnoughSpace(FreeKilobytes(sectorsPerCluster, bytesPerSector, freeClusters), minimumKb))
        return IDS_NO_SPACE;

    // Nothing is created for a destination the package cannot be installed under.
    if (!PlanFitsUnder(dest))
        return IDS_PATH_TOO_LONG;

    // Only the last component is created: a missing parent refuses the destination.
    if (!existed && !CreateDirectoryA(dest, nullptr))
        return IDS_CANNOT_CREATE;
    if (created)
        *created = !existed;
    return 0;
}
