#pragma once
// Resources of IlvoInstaller.exe.
#define IDI_ILVO 101
#define IDB_VOICE 102
#define IDR_FORM1_DESIGN 103
