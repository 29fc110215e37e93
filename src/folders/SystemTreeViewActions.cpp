// The shell tree's actions on one node: rename, delete to the recycle bin, refresh and the
// shell's context menu.
#include "folders/SystemTreeView.h"

#include <shellapi.h>

#include "folders/FolderRules.h"
#include "util/CodePagePath.h"
#include "util/FileProbe.h"

using folders::ComPtr;
using folders::ScopedIdList;
using folders::TFolderItemData;

namespace {

// The hidden window that owns a context menu of IContextMenu2/3, so that owner-drawn and
// cascading items get their messages.
constexpr const char* kHelperClass = "ItemPropMenuCallbackHelper";

LRESULT CALLBACK MenuHelperProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITMENUPOPUP || message == WM_DRAWITEM || message == WM_MEASUREITEM) {
        auto* menu = reinterpret_cast<IContextMenu*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        IContextMenu3* menu3 = nullptr;
        IContextMenu2* menu2 = nullptr;
        LRESULT ignored = 0;
        if (menu &&
            SUCCEEDED(menu->QueryInterface(IID_IContextMenu3, reinterpret_cast<void**>(&menu3)))) {
            menu3->HandleMenuMsg2(message, wParam, lParam, &ignored);
            menu3->Release();
        } else if (menu && SUCCEEDED(menu->QueryInterface(IID_IContextMenu2,
                                                          reinterpret_cast<void**>(&menu2)))) {
            menu2->HandleMenuMsg(message, wParam, lParam);
            menu2->Release();
        }
        return message == WM_INITMENUPOPUP ? 0 : 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class MenuHelperWindow {
  public:
    explicit MenuHelperWindow(IContextMenu* menu) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &MenuHelperProcedure;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kHelperClass;
        RegisterClassA(&wc); // a second registration fails harmlessly
        window_ = CreateWindowExA(0, kHelperClass, "ItemPropCallbackProcessor", WS_POPUP, 0, 0, 0,
                                  0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (window_)
            SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(menu));
    }
    ~MenuHelperWindow() {
        if (window_)
            DestroyWindow(window_);
    }
    MenuHelperWindow(const MenuHelperWindow&) = delete;
    MenuHelperWindow& operator=(const MenuHelperWindow&) = delete;
    HWND Handle() const { return window_; }

  private:
    HWND window_ = nullptr;
};

} // namespace

bool TSystemTreeView::Editing() const {
    return tree_ && TreeView_GetEditControl(tree_) != nullptr;
}

void TSystemTreeView::EndEditing(bool keep) {
    if (Editing())
        TreeView_EndEditLabelNow(tree_, keep ? FALSE : TRUE);
}

bool TSystemTreeView::CanRename(HTREEITEM node) const {
    TFolderItemData* data = node ? Data(node) : nullptr;
    if (!data || node == Root() || !(data->attributes & SFGAO_CANRENAME))
        return false;
    // The shell offers to rename the computer and the drives too; the tree does not.
    const std::string path = GetNodePath(node);
    return !path.empty() && !folders::IsDriveRoot(path);
}

// The shell's own deletion of some items on the desktop (the user's folder, a cloud folder)
// removes only their icon there, while deleting their path would remove the real folder: only
// a folder that lies in its parent node's folder is deleted.
bool TSystemTreeView::CanDelete(HTREEITEM node) const {
    TFolderItemData* data = node ? Data(node) : nullptr;
    if (!data || node == Root() || !(data->attributes & SFGAO_CANDELETE))
        return false;
    TFolderItemData* parent = Data(TreeView_GetParent(tree_, node));
    return parent &&
           folders::LiesDirectlyInside(GetNodePath(node),
                                       folders::FolderPathOfIdList(parent->absoluteList.get()));
}

bool TSystemTreeView::StartRename() {
    HTREEITEM node = Selected();
    if (!CanRename(node))
        return false;
    SetFocus(tree_);
    return TreeView_EditLabel(tree_, node) != nullptr;
}

bool TSystemTreeView::DeleteSelected() {
    HTREEITEM node = Selected();
    if (!DeleteNodeFolder(node))
        return false;
    TreeView_DeleteItem(tree_, node);
    return true;
}

bool TSystemTreeView::RefreshSelected() {
    HTREEITEM node = Selected();
    if (!node)
        return false;
    RefreshNode(node);
    return true;
}

bool TSystemTreeView::RenameNodeFolder(HTREEITEM node, const std::string& name) {
    TFolderItemData* data = Data(node);
    // The name as it was: the node stays as it is, open and listed.
    if (!data || !CanRename(node) || name.empty() || name == ItemText(node))
        return false;
    std::wstring wide = WideText(name);
    ScopedIdList renamed;
    if (FAILED(data->parentFolder->SetNameOf(GetParent(tree_), data->relativeList.get(),
                                             wide.c_str(), SHGDN_INFOLDER, renamed.out())) ||
        !renamed)
        return false;
    HTREEITEM parent = TreeView_GetParent(tree_, node);
    TFolderItemData* parentData = Data(parent);
    data->absoluteList =
        ScopedIdList::Join(parentData ? parentData->absoluteList.get() : nullptr, renamed.get());
    data->relativeList = std::move(renamed);
    // The children's ID lists and paths name the old folder: list them again when opened.
    DropChildren(node);
    // A watch on the old path would take the next change inside for the folder's removal.
    if (node == watchedNode_)
        WatchNode(node);
    if (node == Selected() && OnChange)
        OnChange(); // the path shown for the selection has changed
    return true;
}

bool TSystemTreeView::DeleteNodeFolder(HTREEITEM node) {
    if (!CanDelete(node))
        return false;
    const std::string path = GetNodePath(node);
    if (!FolderExists(path))
        return false;
    std::string from = path;
    from.append(2, '\0');
    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = GetParent(tree_) ? GetParent(tree_) : tree_;
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO;
    return SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted &&
           !FolderExists(path);
}

TSystemTreeView::MenuOutcome TSystemTreeView::ShowItemContextMenu(HTREEITEM node, POINT screen) {
    TFolderItemData* data = Data(node);
    if (!data)
        return MenuOutcome::NotShown;
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    ComPtr<IContextMenu> menu;
    LPCITEMIDLIST one = data->relativeList.get();
    HRESULT got = node == Root()
                      ? E_FAIL
                      : data->parentFolder->GetUIObjectOf(GetParent(tree_), 1, &one,
                                                          IID_IContextMenu, nullptr, menu.out());
    SetCursor(previous);
    if (FAILED(got) || !menu)
        return MenuOutcome::NotShown;
    MenuHelperWindow helper(menu.get());
    HMENU popup = CreatePopupMenu();
    MenuOutcome outcome = MenuOutcome::NotShown;
    if (popup && SUCCEEDED(menu->QueryContextMenu(popup, 0, 1, 0x7FFF, CMF_EXPLORE))) {
        HWND owner = helper.Handle() ? helper.Handle() : GetParent(tree_);
        SetForegroundWindow(GetParent(tree_));
        UINT command = TrackPopupMenuEx(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y,
                                        owner, nullptr);
        outcome = MenuOutcome::Dismissed;
        if (command > 0) {
            CMINVOKECOMMANDINFO invoke = {};
            invoke.cbSize = sizeof invoke;
            invoke.hwnd = GetParent(tree_);
            invoke.lpVerb = MAKEINTRESOURCEA(command - 1);
            invoke.nShow = SW_SHOWNORMAL;
            outcome = SUCCEEDED(menu->InvokeCommand(&invoke)) ? MenuOutcome::CommandDone
                                                              : MenuOutcome::CommandFailed;
        }
    }
    if (popup)
        DestroyMenu(popup);
    return outcome;
}
