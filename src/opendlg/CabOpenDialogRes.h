// Identifiers of the controls of the archive open dialog's child templates.
#pragma once

// Child templates of the archive open dialog ("CABINET_OPEN_DIALOG" and kin, named by string).
#define IDC_CAB_STANDARD_AREA 1119 // where the platform puts its own controls
#define IDC_CAB_HISTORY 1001
#define IDC_CAB_SAVE_HISTORY 1002
#define IDC_CAB_PLACES 1003 // made when the dialog shows
#define IDC_CAB_CONFIRM 1004
#define IDC_CAB_SUBFOLDERS 1010
