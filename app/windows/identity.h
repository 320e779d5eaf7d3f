// Resource ids of the program's identity, shared by quorvane.rc and the C++ code that reads them.
// Plain #defines only: the resource compiler reads this file too.
#pragma once

// The program's icon; the lowest id, so that Windows takes it as the program file's icon.
#define QUORVANE_IDI_PROGRAM 1
// The application title in the string table.
#define QUORVANE_IDS_TITLE 1
