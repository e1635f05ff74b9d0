// The ids of the exe's resources, shared by Resource.rc and the code that loads them.
#pragma once

#define PARDIM_ICON 1
