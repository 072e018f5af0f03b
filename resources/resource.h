// The program's resource identifiers, shared by the .rc, the window's
// message tables and the tests. The numbers are fixed by the window's
// design (the About entry's must also be a multiple of 16 below 0xF000, as
// a system-menu command must); change one only everywhere at once.
#pragma once

// System-menu command of the About entry: a multiple of 16 below 0xF000.
#define IDM_ABOUTBOX 0x0010

#define IDD_ABOUTBOX      100
#define IDS_ABOUTBOX      101
#define IDD_VARNEL_DIALOG 102
#define IDR_MAINFRAME     128
#define IDR_MAINMENU      131

// The application's title, the caption of its message boxes: the number
// the framework reads it under (framework::kAppTitleStringId).
#define IDS_APP_TITLE 0xE000

// Main window controls. The four radio buttons form one group, in this
// order: the index of the checked one is the function.
#define IDC_MONO                1000
#define IDC_STEREO              1001
#define IDC_JOIN_1_TO_2         1002
#define IDC_JOIN_2_TO_1         1003
#define IDC_SOUND_FILE_1        1004
#define IDC_SOUND_FILE_2        1005
#define IDC_OUTPUT_FILE         1006
#define IDC_BROWSE_SOUND_FILE_1 1007
#define IDC_BROWSE_SOUND_FILE_2 1008
#define IDC_BROWSE_OUTPUT_FILE  1009
#define IDC_RUN                 1010
#define IDC_PROGRESS            1011
#define IDC_LAUNCH_EDITOR       1017
#define IDC_BROWSE_EDITOR       1018

// Menu commands.
#define IDM_FILE_EXIT            32771
#define IDM_FUNCTION_MONO        32772
#define IDM_HELP_ABOUT           32773
#define IDM_FUNCTION_STEREO      32774
#define IDM_FUNCTION_JOIN_1_TO_2 32775
#define IDM_FUNCTION_JOIN_2_TO_1 32776
#define IDM_SELECT_SOUND_FILE_1  32778
#define IDM_SELECT_SOUND_FILE_2  32779
#define IDM_SELECT_OUTPUT_FILE   32780
#define IDM_FILE_RUN             32781

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
