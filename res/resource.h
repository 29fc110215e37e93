// Resource identifiers shared by Pakico.rc and the program.
#pragma once

#define IDI_PAKICO 1

#define IDB_COOLFORM1 101 // ready
#define IDB_COOLFORM2 102 // resting
#define IDB_COOLFORM3 103 // compressing
#define IDB_COOLFORM4 104 // extracting
#define IDB_IMAGELIST1 110
#define IDB_ABOUTCAT 111
#define IDR_CATOUTLINE 120

#define IDD_ABOUT 200
#define IDC_ABOUT_IMAGE 201
#define IDC_ABOUT_LABEL1 202
#define IDC_ABOUT_LABEL2 203
#define IDC_ABOUT_LABEL3 204
#define IDC_ABOUT_NOTICE 205
#define IDC_ABOUT_MAIL 206
#define IDC_ABOUT_WEBPAGE 207
