#pragma once

// <windows.h> for the adapters. Its ANSI/wide macros would rename the core's own members
// (AutomationRuntime::GetObject, DialogPort::MessageBox) in any file that includes both; the
// adapters always call the ANSI functions by their full names, so those macros are dropped.
#include <windows.h>

#undef GetObject
#undef MessageBox
