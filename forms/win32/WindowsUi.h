// The Windows headers as the toolkit includes them: without the min/max macros and
// without the MessageBox macro, whose name is a method of the class library's toolkit and
// application (the toolkit calls MessageBoxA by its full name). Include this instead of
// <windows.h>, before any header of the class library.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef MessageBox
