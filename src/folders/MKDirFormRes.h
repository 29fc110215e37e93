// Identifiers of the new-folder dialog's template and its controls.
#pragma once

#define IDD_MKDIRFORM 350
#define IDC_MKDIR_IMAGE 351
#define IDC_MKDIR_BASETITLE 352
#define IDC_MKDIR_BASEDIR 353
#define IDC_MKDIR_NAMETITLE 354
#define IDC_MKDIR_DIRNAME 355
