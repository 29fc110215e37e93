// Identifiers of the resources that belong to the whole program: its icon, the cat's pictures
// and outline, the menu images. Each dialog's identifiers are in a header beside its code.
#pragma once

#define IDI_PAKICO 1

#define IDB_COOLFORM1 101 // ready
#define IDB_COOLFORM2 102 // resting
#define IDB_COOLFORM3 103 // compressing
#define IDB_COOLFORM4 104 // extracting
#define IDB_IMAGELIST1 110
#define IDB_ABOUTCAT 111
#define IDR_CATOUTLINE 120
