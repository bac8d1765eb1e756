#pragma once
// Window identifiers of the controls on the installer window, so that tests
// and automation tools can tell the overlapping buttons apart.
#define IDC_QORBUTTON_AZ 201
#define IDC_QORBUTTON_XZ 202
#define IDC_QORBUTTON_XF 203
#define IDC_QORBUTTON_XFT 204
#define IDC_QORBUTTON_XZT 205
#define IDC_PROGRESSBAR_1 206
#define IDC_PROGRESSBAR_2 207
#define IDC_IMAGE_1 208
