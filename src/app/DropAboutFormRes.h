// Identifiers of the About box's template and its controls.
#pragma once

#define IDD_ABOUT 200
#define IDC_ABOUT_IMAGE 201
#define IDC_ABOUT_LABEL1 202
#define IDC_ABOUT_LABEL2 203
#define IDC_ABOUT_LABEL3 204
#define IDC_ABOUT_NOTICE 205
#define IDC_ABOUT_MAIL 206
#define IDC_ABOUT_WEBPAGE 207
