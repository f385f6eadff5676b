// <windows.h> as every file of the Windows program takes it: W functions only, and no
// min and max macros to break the standard library.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
