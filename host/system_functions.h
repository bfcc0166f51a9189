// Functions that Windows versions after 2000 add and Veltro can do without.
// The product must load on the oldest system it is for, so these are never
// imported: they are looked up at run time, and each caller has a way that
// works when the lookup gives nullptr.
#pragma once

#include <windows.h>

// The function `name` of the system DLL `library` ("uxtheme.dll"), or nullptr
// when that Windows lacks the DLL or the function. A DLL not yet in the
// process is loaded from the System folder only, never through the search
// path (a planted copy beside the program would run with its rights), and
// stays loaded for the rest of the run.
FARPROC FindSystemFunction(const char* library, const char* name);

template <typename Function>
Function SystemFunction(const char* library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(FindSystemFunction(library, name)));
}
