// Resource ids of the Windows program, shared by its resource scripts and the C++ code that reads
// them. Plain #defines only: the resource compiler reads this file too.
#pragma once

// The program's icon, also the main window's icon and Image1's picture; the lowest id, so that
// Windows takes it as the program file's icon.
#define QUORVANE_IDI_PROGRAM 1
// The settings window's computer icon.
#define QUORVANE_IDI_COMPUTER 2
// The main window's background picture.
#define QUORVANE_IDB_SKY 1
// The application title in the string table.
#define QUORVANE_IDS_TITLE 1
