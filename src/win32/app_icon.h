// The program's icon, for the windows' captions, the task bar and Alt + Tab.
#pragma once

#include <windows.h>

namespace pelnoro::win32 {

// The icon drawn at the size nearest to size x size pixels; the system's
// application icon where the module carries none (the test programs without it).
// Kept until the program ends.
HICON AppIcon(int size);

// The small (caption) and large (Alt + Tab) icon sizes at a monitor's scale.
int SmallIconSize(int dpi);
int LargeIconSize(int dpi);

}  // namespace pelnoro::win32
