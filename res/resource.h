#pragma once
// Resource identifiers shared by kestrelpad.rc and the program.

// The application icon; the lowest icon id is the one the shell shows.
#define IDI_KESTRELPAD 1

// The tool bar's pictures: 14 cells of 16 × 16, 32-bit with alpha
// (tools/make_toolbar_bitmap.py writes res/toolbar.bmp).
#define IDB_TOOLBAR 101
