// The settings dialog's page "全般": residence at Windows start-up and the start hot key (the
// page's check boxes and log size are plain controls of the frame).
#include "config/CoolConfigForm.h"

#include <commctrl.h>

#include "config/CoolConfigFormRes.h"
#include "settings/SettingsStore.h"
#include "shell/HookHotKey.h"
#include "shell/StartupShortcut.h"
#include "util/SystemLookups.h"

void TCoolConfigForm::LoadCommonPage() {
    // As Windows will do it: a shortcut turned off in Task Manager starts nothing.
    SetChecked(IDC_CFG_CHBSETUPTASKTRAY, StartupShortcutRuns());
    const std::string text = ReadSetting(settings::HotKey, settings::HotKeyDialogDefault);
    const shortcut::TShortCut key = shortcut::TextToShortCut(text, &KeyboardLayoutKeyName);
    // The box names a key of the extended block only when told so; without the flag Home
    // would show as the number pad's 7.
    WORD word = shelllink::HotKeyWord(key);
    if (IsExtendedKey(static_cast<std::uint8_t>(key & shortcut::scKeyMask)))
        word |= HOTKEYF_EXT << 8;
    SendDlgItemMessageA(Handle(), IDC_CFG_HOTSETUPKEYRUN, HKM_SETHOTKEY, word, 0);
    ChbSetupTaskTrayClick();
    LoadedHotKey = HotKeyValue();
}

void TCoolConfigForm::SaveCommonPage() {
    if (Checked(IDC_CFG_CHBSETUPTASKTRAY)) {
        WriteStartupShortcut();
        TurnOnStartupShortcut();
    } else if (StartupShortcutRuns()) {
        // One turned off in Task Manager starts nothing already: it stays, to be turned on
        // there again.
        DeleteFileA(StartupShortcutPath().c_str());
    }
    const shortcut::TShortCut key = shelllink::ShortCutOfHotKeyWord(HotKeyValue());
    WriteSetting(settings::HotKey, shortcut::ShortCutToText(key, &KeyboardLayoutKeyName));
}

// The shortcut in the Startup folder that starts this program; written again each time.
void TCoolConfigForm::WriteStartupShortcut() {
    const std::string folder = ExecutableFolder();
    PBShellLink.SetShellFolder(sfStartup);
    PBShellLink.SetFileName(kStartupShortcutName);
    PBShellLink.Target = folder + "Pakico.exe";
    PBShellLink.WorkingDir = config::ShortcutWorkingFolder(folder);
    PBShellLink.Arguments.clear();
    PBShellLink.Description.clear();
    PBShellLink.SetWindowState(shelllink::TWindowState::wsNormal);
    PBShellLink.SetHotKey(0);
    PBShellLink.FileIcon = TFileIcon{};
    PBShellLink.Save();
}

// Start-up rule: the hot key belongs to residence, so it can be edited only while that is on.
void TCoolConfigForm::ChbSetupTaskTrayClick() {
    EnableControls({IDC_CFG_LBLHOTKEYRUN, IDC_CFG_HOTSETUPKEYRUN},
                   Checked(IDC_CFG_CHBSETUPTASKTRAY));
}

// Any hot key other than the one loaded is a change, noticed as it is typed: Enter in the box
// presses OK before the box loses the focus.
void TCoolConfigForm::HotSetupKeyRunChange() {
    if (HotKeyValue() != LoadedHotKey)
        MarkModified(true);
}

WORD TCoolConfigForm::HotKeyValue() const {
    // The extended-key flag says nothing the hot key needs.
    return static_cast<WORD>(
        SendDlgItemMessageA(Handle(), IDC_CFG_HOTSETUPKEYRUN, HKM_GETHOTKEY, 0, 0) & 0x07FF);
}
