#pragma once

#include <QChar>
#include <QString>

#include <cstdint>

#include "helpers/clean_record.h"
#include "platform/machine.h"

namespace tidora::helpers {

QString GetSpecialFolder(const platform::Machine& machine, int aCSIDL);
// With a trailing backslash.
QString GetTempFolder(const platform::Machine& machine);
QString GetWindowsFolder(const platform::Machine& machine);
QChar GetSystemDriveLetter(const platform::Machine& machine);

// Mode 0: the machine is 64-bit; 1: this program runs under WOW64 (never: it is native to the
// machine it inspects); 2: the machine's PROCESSOR_ARCHITECTURE names a 64-bit processor.
bool Is64BitWindows(const platform::Machine& machine, int aMode);
void GetOSVersion(const platform::Machine& machine, int& aMajor, int& aMinor);
// Platform 2 is NT: major 3 gives 1; 4 gives 3 (minor 90) or 2; 5 gives 4 (minor 0) or 5; 6 gives
// 6, 7 or 8 for minor 0, 1 or higher; any other major 10. Any other platform gives 255.
int GetWinVersionCode(int aPlatform, int aMajor, int aMinor);
// Ticks per second of the clock the program measures with.
int64_t GetPerfFrequency();
bool GetDiskSpaceMB(const platform::Machine& machine, const QString& aRoot, double& aTotal,
                    double& aFree);
bool GetSystemDiskSpaceMB(const platform::Machine& machine, double& aTotal, double& aFree);

// The recycle bin: count and size (0 and false when it cannot be read).
bool QueryRecycleBin(const platform::Machine& machine, int64_t& aCount, int64_t& aSize);
// Always true; aCount 0 when the bin cannot be read.
bool GetRecycleBinCount(const platform::Machine& machine, int64_t& aCount);
bool EmptyRecycleBin(platform::Machine& machine);
// Reports every item whose location is known (kind 3, after a heartbeat of kind -4). True when
// the listing ended without being stopped.
bool EnumRecycleBin(const platform::Machine& machine, const TFoundCallback& aFound);

}  // namespace tidora::helpers
