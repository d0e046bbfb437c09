// Numbers of the window's resources, shared by bukvotok.rc and the code.
#pragma once

#define IDD_SAVE_PROGRESS 100
#define IDC_PROGRESS_TEXT 101
#define IDC_PROGRESS_BAR 102
