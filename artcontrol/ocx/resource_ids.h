#pragma once
// The resource ids of TILVO.OCX, shared by tilvo.rc and the C++ code.

// The module's version, file and product alike.
#define TILVO_VERSION_MAJOR 1
#define TILVO_VERSION_MINOR 3
#define TILVO_VERSION_BUILD 2
#define TILVO_VERSION_REVISION 0
#define TILVO_VERSION_TEXT "1.3.2.0"

// String resources: the control's type name, the page's name, the page caption.
#define IDS_TILVO_CONTROL 1
#define IDS_TILVO_PROPPAGE 2
#define IDS_PROPPAGE_CAPTION 200

// The toolbox picture, 16 x 15 pixels at 4 bits per pixel.
#define IDB_TOOLBOX 1

// The property page's dialog and its controls.
#define IDD_PROPPAGE 200
#define IDC_ART_TYPE 202
#define IDC_ART_INDEX 203
#define IDC_ART_COLOR 204
#define IDC_X_OFFSET 205
#define IDC_Y_OFFSET 206
