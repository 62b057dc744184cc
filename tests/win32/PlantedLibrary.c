/* A library that the Win32 tests place beside their program: it loads by
   its full path, but must not load by its name alone. */

__declspec(dllexport) int KpPlantedLibrary(void) { return 42; }
