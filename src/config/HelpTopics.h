// The settings dialog's topics in the help file: one for each page, opened by its Help button,
// and one for each control that has a topic of its own, opened by F1 on it. The help file maps
// each to the page that explains it.
#pragma once

#include <utility>

#include "config/CoolConfigFormRes.h"

// The pages' topics, in page order.
inline constexpr unsigned long kPageHelpTopics[CFG_PAGE_COUNT] = {2104, 2105, 2106, 2108, 2109};

// Controls with a help topic of their own, opened by F1 on them. The method groups never take
// the focus: their radio buttons do, and carry the groups' topics.
inline constexpr std::pair<int, unsigned long> kControlHelpTopics[] = {
    {IDC_CFG_CHBSETUPTASKTRAY, 99028},
    {IDC_CFG_CMBFAVARCHIVE, 88018},
    {IDC_CFG_CMBFAVSFXARCHIVE, 88019},
    {IDC_CFG_CHBQPSELECTNEWARCHIVE, 99225},
    {IDC_CFG_RDGQPLHACOMP, 99018},
    {IDC_CFG_EDTQPZIPCOMPLEVEL, 88012},
    {IDC_CFG_EDTQPTARCOMPLEVEL, 88007},
    {IDC_CFG_RDGQPCABCOMP, 88005},
    {IDC_CFG_RDBLHA0, 99018},
    {IDC_CFG_RDBLHA1, 99018},
    {IDC_CFG_RDBLHA5, 99018},
    {IDC_CFG_RDBLHA6, 99018},
    {IDC_CFG_RDBLHA7, 99018},
    {IDC_CFG_RDBMSZIP, 88005},
    {IDC_CFG_RDBLZX, 88005},
    {IDC_CFG_EDTQPCABCOMPLEVEL, 99224},
    {IDC_CFG_CHBDROPADDAUTOMATICE, 99226},
    {IDC_CFG_CHBDROPADDUSEDIR, 99008},
    {IDC_CFG_CHBDROPADDABSOLUTEPATH, 99009},
    {IDC_CFG_CHBDROPADDSUBDIR, 99011},
    {IDC_CFG_CHBDROPADDADDPATH, 99003},
    {IDC_CFG_CHBDROPADDOPEN, 99272},
    {IDC_CFG_RDBQEARCHIVEPATH, 88021},
    {IDC_CFG_RDBQESELECTPATH, 88022},
    {IDC_CFG_RDBQEFIXEDPATH, 88023},
    {IDC_CFG_HISQEFIXEDPATH, 99021},
    {IDC_CFG_BTNQEFIXEDPATH, 99159},
    {IDC_CFG_CMBDUPLICATE, 99184},
    {IDC_CFG_CHBRECURRENCE, 88028},
    {IDC_CFG_CHBOPENEXPLORER, 99019},
    {IDC_CFG_CHBFILECOPY, 99186},
    {IDC_CFG_CHBFILEMOVE, 99187},
    {IDC_CFG_RDGARCHIVEPATH, 99022},
    {IDC_CFG_RDBARCHPATH1, 88024},
    {IDC_CFG_RDBARCHPATH2, 88025},
    {IDC_CFG_RDBARCHPATH3, 88026},
    {IDC_CFG_CHBDELNUMPATH, 88027},
    {IDC_CFG_CHBINPUTPATH, 99227},
};
