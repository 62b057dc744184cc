#pragma once
// Resource identifiers shared by kestrelpad.rc and the program.

// The application icon; the lowest icon id is the one the shell shows.
#define IDI_KESTRELPAD 1
