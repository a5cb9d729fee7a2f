#pragma once
// The one place that includes <windows.h>: every file of the Win32 front end includes this
// header instead, so all of them see the same API level and the same wide-character names.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif

// Windows 7 is the oldest system the installer supports. MinGW's headers pick a newer default
// when a standard header came first, so the level is set here outright.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#undef WINVER
#define WINVER 0x0601

#include <windows.h>
