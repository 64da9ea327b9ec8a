// The identifiers of GyrionMonitor.exe's resources and of the controls on its
// three dialogs, shared by the resource script, the program and its tests.
#pragma once

// Dialog templates.
#define IDD_FRMMAIN 100
#define IDD_FRMCONFIGURE 101
#define IDD_FRMABOUT 102

// Icons: the program's own first, so that it shows for the executable.
#define IDI_PROGRAM 1
#define IDI_CONNECT 201
#define IDI_DISCONNECT 202
#define IDI_CONFIGURE 203
#define IDI_ABOUT 204

// frmMain.
#define IDC_FRACONSOLE 1000
#define IDC_TXTCONSOLE 1001
#define IDC_TXTCOMMAND 1002
#define IDC_FRABUTTONS 1003
#define IDC_CMDCONNECT 1004
#define IDC_CMDCONFIGURE 1005
#define IDC_CMDABOUT 1006
#define IDC_LBLCONNSTATUS 1007

// frmConfigure; its Ok and Cancel are IDOK and IDCANCEL.
#define IDC_CONFIGUREHEADING 1100
#define IDC_LBLHOST 1101
#define IDC_TXTHOST 1102
#define IDC_LBLPORT 1103
#define IDC_TXTPORT 1104

// frmAbout; its Okay. is IDOK.
#define IDC_ABOUTHEADING 1200
#define IDC_LBLRELEASE 1201
#define IDC_SHPLINE 1202
#define IDC_LBLPARAGRAPH 1203
#define IDC_LBLTSOC 1204
