// The Windows headers as the Win32 code includes them. Several of their macros carry the
// same names as methods of our service interfaces (CreateDirectory, DeleteFile,
// GetFreeSpace, ExitWindows, ...); they are removed here, and our code calls the ...A
// functions by their full names anyway. Include this instead of <windows.h>, before the
// service headers.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h first: the headers below rely on its types.
#include <ddeml.h>
#include <lzexpand.h>
#include <oleauto.h>

#undef CreateDirectory
#undef RemoveDirectory
#undef DeleteFile
#undef GetCurrentDirectory
#undef SetCurrentDirectory
#undef GetFreeSpace
#undef ExitWindows
#undef LookupPrivilegeValue
#undef GetVersion
