// Numbers of the program's resources, shared by pelnoro.rc and the code.
#pragma once

// The lowest number: Explorer shows the first icon of an exe as its icon.
#define PELNORO_ICON_ID 1
