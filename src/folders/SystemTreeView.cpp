// The shell tree: building, lazy listing, sorting, selecting by path and the folder watch.
#include "folders/SystemTreeView.h"

#include <shellapi.h>

#include <cstdio>
#include <utility>

#include "folders/FolderRules.h"
#include "ui/ErrorReport.h"
#include "ui/MessageBox.h"
#include "util/CodePagePath.h"
#include "util/Errors.h"
#include "util/FileProbe.h"
#include "util/PathText.h"

using folders::ComPtr;
using folders::ScopedIdList;
using folders::TFolderItemData;

namespace {

// has-subfolder, file system, folder, file-system ancestor, removable, ghosted, share, link,
// drop target, property sheet, can delete, can rename, can link, can move, can copy.
constexpr ULONG kAttributeMask = 0xF20B0177;
static_assert(folders::kItemStream == SFGAO_STREAM &&
              folders::kItemFileSystemAncestor == SFGAO_FILESYSANCESTOR &&
              folders::kItemFileSystem == SFGAO_FILESYSTEM);
constexpr UINT_PTR kWatchTimer = 33;
// Posted to the tree by the watcher's end, so that the watcher is replaced outside its own call.
constexpr UINT kFolderChangedMessage = WM_APP + 33;

// A shell folder that cannot be shown: what could not be done, the system's text for the result
// where it has one, and the result's code as the system's error lists give it. A success that
// gave no folder counts as a failure of no known cause.
EAppError ShellFolderError(const std::string& lead, HRESULT result) {
    if (SUCCEEDED(result))
        result = E_FAIL;
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    return EAppError(lead + "\r\n" + SystemErrorText(static_cast<DWORD>(result)) +
                     "エラーコード=" + code);
}

// An hourglass for the length of a scope.
class WaitCursor {
  public:
    WaitCursor() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    HCURSOR previous_;
};

// Redrawing off for a bulk change, on again at the end.
class UpdateBracket {
  public:
    explicit UpdateBracket(HWND tree) : tree_(tree) { SendMessageA(tree_, WM_SETREDRAW, FALSE, 0); }
    ~UpdateBracket() {
        SendMessageA(tree_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(tree_, nullptr, TRUE);
    }
    UpdateBracket(const UpdateBracket&) = delete;
    UpdateBracket& operator=(const UpdateBracket&) = delete;

  private:
    HWND tree_;
};

int CALLBACK CompareNodes(LPARAM first, LPARAM second, LPARAM folder) {
    auto* a = reinterpret_cast<TFolderItemData*>(first);
    auto* b = reinterpret_cast<TFolderItemData*>(second);
    if (!a || !b)
        return 0;
    HRESULT result = reinterpret_cast<IShellFolder*>(folder)->CompareIDs(0, a->relativeList.get(),
                                                                         b->relativeList.get());
    return FAILED(result) ? 0 : static_cast<short>(HRESULT_CODE(result));
}

bool SameItem(IShellFolder* folder, LPCITEMIDLIST a, LPCITEMIDLIST b) {
    HRESULT result = folder->CompareIDs(0, a, b);
    return SUCCEEDED(result) && static_cast<short>(HRESULT_CODE(result)) == 0;
}

int IconOf(LPCITEMIDLIST absolute, UINT extra) {
    SHFILEINFOA info = {};
    SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute), 0, &info, sizeof info,
                   SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | extra);
    return info.iIcon;
}

} // namespace

TSystemTreeView::~TSystemTreeView() {
    Detach();
}

void TSystemTreeView::Attach(HWND tree) {
    tree_ = tree;
    destroying_ = false;
    if (const HRESULT result = SHGetDesktopFolder(desktop_.outTyped()); FAILED(result) || !desktop_)
        throw ShellFolderError("デスクトップのフォルダを表示できません。", result);
    SHFILEINFOA info = {};
    auto images = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    TreeView_SetImageList(tree_, images, TVSIL_NORMAL);
    SetWindowSubclass(tree_, &TSystemTreeView::SubclassProcedure, 1,
                      reinterpret_cast<DWORD_PTR>(this));
    Rebuild();
}

void TSystemTreeView::Detach() {
    if (!tree_)
        return;
    destroying_ = true;
    KillTimer(tree_, kWatchTimer);
    StopWatch();
    TreeView_DeleteAllItems(tree_); // the records go with their nodes' deletion notices
    RemoveWindowSubclass(tree_, &TSystemTreeView::SubclassProcedure, 1);
    tree_ = nullptr;
    desktop_ = ComPtr<IShellFolder>();
}

TFolderItemData* TSystemTreeView::Data(HTREEITEM node) const {
    if (!node || !tree_)
        return nullptr;
    TVITEMA item = {};
    item.mask = TVIF_PARAM | TVIF_HANDLE;
    item.hItem = node;
    if (!TreeView_GetItem(tree_, &item))
        return nullptr;
    auto* data = reinterpret_cast<TFolderItemData*>(item.lParam);
    if (!data)
        ShowMessageBox(GetParent(tree_), "Could not get folder data.", MessageKind::Error,
                       MessageButton::OK);
    return data;
}

std::string TSystemTreeView::ItemText(HTREEITEM node) const {
    char text[MAX_PATH * 2] = "";
    TVITEMA item = {};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = node;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    return tree_ && node && TreeView_GetItem(tree_, &item) ? text : "";
}

HTREEITEM TSystemTreeView::Root() const {
    return tree_ ? TreeView_GetRoot(tree_) : nullptr;
}

HTREEITEM TSystemTreeView::Selected() const {
    return tree_ ? TreeView_GetSelection(tree_) : nullptr;
}

std::string TSystemTreeView::GetNodePath(HTREEITEM node) const {
    TFolderItemData* data = node ? Data(node) : nullptr;
    return data ? folders::PathOfIdList(data->absoluteList.get(), data->attributes) : "";
}

std::string TSystemTreeView::Selection() const {
    return GetNodePath(Selected());
}

void TSystemTreeView::Rebuild() {
    if (!tree_)
        return;
    TFolderItemData* selected = Selected() ? Data(Selected()) : nullptr;
    ScopedIdList kept =
        selected ? ScopedIdList::Copy(selected->absoluteList.get()) : ScopedIdList();
    const bool watchAtOnce = watchAtOnce_;
    watchAtOnce_ = true;
    {
        UpdateBracket update(tree_);
        StopWatch();
        TreeView_SelectItem(tree_, nullptr);
        TreeView_DeleteAllItems(tree_);
        ScopedIdList root;
        if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, root.out())) && root) {
            ScopedIdList relative = ScopedIdList::Copy(root.get());
            if (HTREEITEM node =
                    AddFolderNode(desktop_, std::move(root), nullptr, std::move(relative))) {
                EnsureEnumerated(node);
                TreeView_Expand(tree_, node, TVE_EXPAND);
            }
        }
        if (!pendingSelection_.empty()) {
            std::string path = std::move(pendingSelection_);
            pendingSelection_.clear();
            SetSelection(path);
        } else if (kept) {
            if (HTREEITEM node = FindNodeByIdList(kept.get()))
                TreeView_SelectItem(tree_, node);
        }
    }
    watchAtOnce_ = watchAtOnce;
}

HTREEITEM TSystemTreeView::AddFolderNode(const ComPtr<IShellFolder>& folder, ScopedIdList absolute,
                                         HTREEITEM parent, ScopedIdList relative) {
    STRRET name = {};
    std::string text;
    if (SUCCEEDED(folder->GetDisplayNameOf(relative.get(), SHGDN_NORMAL, &name)))
        text = folders::StrRetText(name, relative.get());
    ULONG attributes = kAttributeMask;
    LPCITEMIDLIST one = relative.get();
    if (FAILED(folder->GetAttributesOf(parent ? 1 : 0, &one, &attributes)))
        attributes = 0;

    const int normal = IconOf(absolute.get(), 0);
    int open = IconOf(absolute.get(), SHGFI_OPENICON);
    if (open == 0)
        open = normal;
    auto* data = new TFolderItemData(folder, std::move(relative), std::move(absolute), attributes);

    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    TVITEMA& item = insert.item;
    item.mask =
        TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_STATE;
    item.pszText = text.data();
    item.lParam = reinterpret_cast<LPARAM>(data);
    item.iImage = (attributes & SFGAO_FOLDER) ? normal : open;
    item.iSelectedImage = open;
    item.cChildren = (attributes & SFGAO_HASSUBFOLDER) ? 1 : 0;
    item.stateMask = TVIS_OVERLAYMASK;
    if (attributes & SFGAO_SHARE)
        item.state = INDEXTOOVERLAYMASK(1);
    else if (attributes & SFGAO_LINK)
        item.state = INDEXTOOVERLAYMASK(2);
    HTREEITEM node = TreeView_InsertItem(tree_, &insert);
    if (!node)
        delete data;
    return node;
}

ComPtr<IShellFolder> TSystemTreeView::FolderOf(HTREEITEM node) const {
    TFolderItemData* data = Data(node);
    if (!data)
        return {};
    if (node == Root())
        return desktop_;
    ComPtr<IShellFolder> folder;
    HRESULT result = data->parentFolder->BindToObject(data->relativeList.get(), nullptr,
                                                      IID_IShellFolder, folder.out());
    if (FAILED(result) || !folder)
        throw ShellFolderError(
            "フォルダ：" + ItemText(node) + "\r\n" + "このフォルダの中を表示できません。", result);
    return folder;
}

bool TSystemTreeView::EnumerateChildren(const ComPtr<IShellFolder>& folder, HTREEITEM node) {
    WaitCursor wait;
    TFolderItemData* parent = Data(node);
    ComPtr<IEnumIDList> list;
    if (FAILED(folder->EnumObjects(GetParent(tree_), SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN,
                                   list.outTyped())) ||
        !list)
        return false;
    bool found = false;
    for (;;) {
        ScopedIdList child;
        ULONG fetched = 0;
        if (list->Next(1, child.out(), &fetched) != S_OK || fetched == 0 || !child)
            break;
        found = true;
        ULONG attributes = SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_STREAM;
        LPCITEMIDLIST one = child.get();
        if (FAILED(folder->GetAttributesOf(1, &one, &attributes)) ||
            !folders::ListedAsFolder(attributes))
            continue;
        ScopedIdList absolute = ScopedIdList::Join(parent->absoluteList.get(), child.get());
        AddFolderNode(folder, std::move(absolute), node, std::move(child));
    }
    return found;
}

bool TSystemTreeView::EnsureEnumerated(HTREEITEM node) {
    TFolderItemData* data = Data(node);
    if (!data)
        return false;
    if (!data->enumerated) {
        ComPtr<IShellFolder> folder = FolderOf(node);
        bool found;
        {
            UpdateBracket update(tree_);
            found = EnumerateChildren(folder, node);
            data->enumerated = true;
            if (found)
                SortChildren(folder, node);
        }
        if (!found && node != Root()) {
            TVITEMA item = {};
            item.mask = TVIF_CHILDREN | TVIF_HANDLE;
            item.hItem = node;
            item.cChildren = 0;
            TreeView_SetItem(tree_, &item);
            return false;
        }
    }
    return true;
}

void TSystemTreeView::SortChildren(const ComPtr<IShellFolder>& folder, HTREEITEM node) {
    TVSORTCB sort = {};
    sort.hParent = node;
    sort.lpfnCompare = &CompareNodes;
    sort.lParam = reinterpret_cast<LPARAM>(folder.get());
    TreeView_SortChildrenCB(tree_, &sort, 0);
}

HTREEITEM TSystemTreeView::FindNodeByIdList(LPCITEMIDLIST list) {
    HTREEITEM current = Root();
    for (LPCITEMIDLIST rest = list; current && rest && rest->mkid.cb;
         rest =
             reinterpret_cast<LPCITEMIDLIST>(reinterpret_cast<const BYTE*>(rest) + rest->mkid.cb)) {
        EnsureEnumerated(current);
        ScopedIdList segment = ScopedIdList::First(rest);
        HTREEITEM match = nullptr;
        for (HTREEITEM child = TreeView_GetChild(tree_, current); child && !match;
             child = TreeView_GetNextSibling(tree_, child)) {
            TFolderItemData* data = Data(child);
            if (data && SameItem(data->parentFolder.get(), data->relativeList.get(), segment.get()))
                match = child;
        }
        if (!match)
            break;
        current = match;
        EnsureEnumerated(current);
        TreeView_Expand(tree_, current, TVE_EXPAND);
    }
    return current;
}

bool TSystemTreeView::SetSelection(const std::string& path) {
    if (!tree_ || !Root()) {
        pendingSelection_ = path;
        return true;
    }
    std::wstring wide = WideText(path);
    if (wide.size() >= MAX_PATH)
        wide.resize(MAX_PATH - 1);
    ScopedIdList list;
    ULONG eaten = 0;
    if (FAILED(desktop_->ParseDisplayName(GetParent(tree_), nullptr, wide.data(), &eaten,
                                          list.out(), nullptr)) ||
        !list)
        return false;
    UpdateBracket update(tree_);
    if (HTREEITEM node = FindNodeByIdList(list.get())) {
        TreeView_SelectItem(tree_, node);
        TreeView_EnsureVisible(tree_, node);
    }
    return true;
}

void TSystemTreeView::DropChildren(HTREEITEM node) {
    while (HTREEITEM child = TreeView_GetChild(tree_, node))
        TreeView_DeleteItem(tree_, child);
    if (TFolderItemData* data = Data(node))
        data->enumerated = false;
    // Closed, with its button until a listing finds nothing; the next opening lists again.
    TVITEMA item = {};
    item.mask = TVIF_CHILDREN | TVIF_STATE | TVIF_HANDLE;
    item.hItem = node;
    item.cChildren = 1;
    item.stateMask = TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    item.state = 0;
    TreeView_SetItem(tree_, &item);
}

// A selection inside the refreshed node is selected again afterwards (or its nearest ancestor
// still there), with one change notice at the end instead of one per step.
void TSystemTreeView::RefreshNode(HTREEITEM node) {
    if (!node || !tree_)
        return;
    const bool wasOpen = (TreeView_GetItemState(tree_, node, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    HTREEITEM selected = Selected();
    ScopedIdList kept;
    for (HTREEITEM up = selected; up && !kept; up = TreeView_GetParent(tree_, up))
        if (up == node && selected != node)
            if (TFolderItemData* data = Data(selected))
                kept = ScopedIdList::Copy(data->absoluteList.get());
    const bool quiet = std::exchange(quietSelection_, true);
    {
        UpdateBracket update(tree_);
        DropChildren(node);
        if (wasOpen && EnsureEnumerated(node))
            TreeView_Expand(tree_, node, TVE_EXPAND);
        if (kept)
            if (HTREEITEM again = FindNodeByIdList(kept.get()))
                TreeView_SelectItem(tree_, again);
    }
    quietSelection_ = quiet;
    if (!quiet && Selected() != selected)
        SelectionChanged(Selected());
}

void TSystemTreeView::SelectionChanged(HTREEITEM node) {
    if (destroying_ || quietSelection_)
        return;
    {
        WaitCursor wait;
        if (OnChange)
            OnChange();
    }
    KillTimer(tree_, kWatchTimer);
    if (ReadDelay == 0 || watchAtOnce_) {
        watchAtOnce_ = false;
        WatchNode(node);
    } else {
        timerNode_ = node;
        SetTimer(tree_, kWatchTimer, ReadDelay, nullptr);
    }
}

void TSystemTreeView::StopWatch() {
    if (watcher_)
        watcher_->Terminate();
    watcher_.reset();
    watchedNode_ = nullptr;
    watchedPath_.clear();
}

void TSystemTreeView::WatchNode(HTREEITEM node) {
    StopWatch();
    std::string path = GetNodePath(node);
    if (path.empty())
        return;
    // Removable media are not watched: the watch would keep the drive busy.
    if (!IsUncPath(path) && GetDriveTypeA(path.substr(0, 3).c_str()) == DRIVE_REMOVABLE)
        return;
    HWND tree = tree_;
    watcher_ = std::make_unique<TFileChangeThread>(
        path, false, FILE_NOTIFY_CHANGE_DIR_NAME,
        [tree](TFileChangeThread&) { PostMessageA(tree, kFolderChangedMessage, 0, 0); });
    watchedNode_ = node;
    watchedPath_ = path;
}

void TSystemTreeView::FolderChanged() {
    HTREEITEM node = watchedNode_;
    const std::string path = watchedPath_;
    StopWatch();
    if (!node)
        return;
    if (FolderExists(path)) {
        RefreshNode(node);
        WatchNode(node);
        return;
    }
    HTREEITEM parent = TreeView_GetParent(tree_, node);
    if (FileExistsQuiet(path)) {
        WatchNode(parent);
        return;
    }
    if (!parent)
        return;
    RefreshNode(parent);
    if (!(TreeView_GetItemState(tree_, parent, TVIS_EXPANDED) & TVIS_EXPANDED) &&
        EnsureEnumerated(parent))
        TreeView_Expand(tree_, parent, TVE_EXPAND);
    TreeView_SelectItem(tree_, parent);
}

LRESULT TSystemTreeView::HandleNotify(const NMHDR& header, bool& handled) {
    handled = true;
    switch (header.code) {
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
        const auto& view = reinterpret_cast<const NMTREEVIEWA&>(header);
        if (view.action & TVE_EXPAND) {
            HTREEITEM node = view.itemNew.hItem;
            if (!EnsureEnumerated(node))
                return TRUE; // listed nothing: no button, no opening
            ComPtr<IShellFolder> folder = FolderOf(node);
            if (folder)
                SortChildren(folder, node);
        }
        return FALSE;
    }
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        SelectionChanged(reinterpret_cast<const NMTREEVIEWA&>(header).itemNew.hItem);
        return 0;
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW: {
        const auto& view = reinterpret_cast<const NMTREEVIEWA&>(header);
        if (view.itemOld.hItem == watchedNode_)
            StopWatch();
        if (view.itemOld.hItem == timerNode_) {
            KillTimer(tree_, kWatchTimer);
            timerNode_ = nullptr;
        }
        delete reinterpret_cast<TFolderItemData*>(view.itemOld.lParam);
        return 0;
    }
    case NM_RCLICK: {
        // The tree takes the button's release for itself; the click is the request.
        const DWORD at = GetMessagePos();
        return ContextMenuAt({static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))})
                   ? TRUE
                   : FALSE;
    }
    case TVN_BEGINLABELEDITA:
        return CanRename(reinterpret_cast<const NMTVDISPINFOA&>(header).item.hItem) ? FALSE : TRUE;
    case TVN_ENDLABELEDITA: {
        const auto& info = reinterpret_cast<const NMTVDISPINFOA&>(header);
        if (!info.item.pszText)
            return FALSE;
        return RenameNodeFolder(info.item.hItem, info.item.pszText) ? TRUE : FALSE;
    }
    }
    handled = false;
    return 0;
}

// The context menu of the node under a screen point, or of the selected node for (-1, -1),
// the point of a menu asked for by keyboard.
bool TSystemTreeView::ContextMenuAt(POINT at) {
    HTREEITEM node = nullptr;
    if (at.x == -1 && at.y == -1) {
        node = Selected();
        RECT box = {};
        if (node && TreeView_GetItemRect(tree_, node, &box, TRUE))
            at = {box.left, box.bottom};
        ClientToScreen(tree_, &at);
    } else {
        TVHITTESTINFO hit = {};
        hit.pt = at;
        ScreenToClient(tree_, &hit.pt);
        node = TreeView_HitTest(tree_, &hit);
    }
    if (!node)
        return false;
    TreeView_SelectItem(tree_, node);
    // A command that failed still showed its menu: the click was answered, and the tree must not
    // follow it with a second menu of its own.
    return ShowItemContextMenu(node, at) != MenuOutcome::NotShown;
}

LRESULT CALLBACK TSystemTreeView::SubclassProcedure(HWND window, UINT message, WPARAM wParam,
                                                    LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    bool handled = false;
    LRESULT result = 0;
    auto* view = reinterpret_cast<TSystemTreeView*>(self);
    if (!ui::RunGuarded(
            [&] { result = view->HandleTreeMessage(message, wParam, lParam, handled); }))
        return 0;
    return handled ? result : DefSubclassProc(window, message, wParam, lParam);
}

LRESULT TSystemTreeView::HandleTreeMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                           bool& handled) {
    handled = true;
    switch (message) {
    case WM_TIMER:
        if (wParam != kWatchTimer)
            break;
        KillTimer(tree_, kWatchTimer);
        WatchNode(std::exchange(timerNode_, nullptr));
        return 0;
    case kFolderChangedMessage:
        FolderChanged();
        return 0;
    case WM_KEYDOWN:
        if (Editing() || !Selected())
            break;
        if (wParam == VK_F2)
            return StartRename(), 0;
        if (wParam == VK_DELETE)
            return DeleteSelected(), 0;
        if (wParam == VK_F5)
            return RefreshSelected(), 0;
        break;
    case WM_CONTEXTMENU:
        if (ContextMenuAt({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}))
            return 0;
        break;
    case WM_SYSCOLORCHANGE: {
        SHFILEINFOA info = {};
        TreeView_SetImageList(tree_,
                              reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(
                                  "", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON)),
                              TVSIL_NORMAL);
        break;
    }
    }
    handled = false;
    return 0;
}
