// TSystemTreeView: a tree view that shows the shell namespace from the desktop down (folders
// only, hidden ones too) as the shell shows it, filled lazily, kept up to date by a watcher on
// the selected folder, with the shell's context menu, renaming, deletion to the recycle bin
// and refresh.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>

#include "folders/FolderItemData.h"
#include "watch/FileChangeThread.h"

class TSystemTreeView {
  public:
    TSystemTreeView() = default;
    ~TSystemTreeView();
    TSystemTreeView(const TSystemTreeView&) = delete;
    TSystemTreeView& operator=(const TSystemTreeView&) = delete;

    // Takes over a tree view control (of a dialog template) and builds the tree. Its parent
    // must hand the tree's WM_NOTIFY messages to HandleNotify.
    void Attach(HWND tree);
    // Stops the watch and releases every node record; call while the window still exists.
    void Detach();
    HWND Handle() const { return tree_; }

    // Milliseconds between a selection change and the start of the folder watch.
    unsigned ReadDelay = 500;
    // Raised on every selection change.
    std::function<void()> OnChange;

    // The path of the selected node; empty for a virtual folder or no selection.
    std::string Selection() const;
    // Selects the folder (or the deepest ancestor of it the tree shows); false when the shell
    // cannot parse the path. Before Attach the path is kept and selected once built.
    bool SetSelection(const std::string& path);

    HTREEITEM Root() const;
    HTREEITEM Selected() const;
    // The file-system path of a node; empty for virtual folders, no record or no node.
    std::string GetNodePath(HTREEITEM node) const;
    // Discards and rebuilds the whole tree, keeping the selection.
    void Rebuild();
    // Drops the node's children and lists them again (re-opened when it was open).
    void RefreshNode(HTREEITEM node);

    // What the keys F2, Delete and F5 do on the selected node; the frame's buttons call them
    // directly. Each returns whether it acted.
    bool StartRename();
    bool DeleteSelected();
    bool RefreshSelected();
    // Renaming and deletion are refused for the root, drive roots and folders without a path;
    // deletion also for a folder that does not lie in its parent node's folder.
    bool CanRename(HTREEITEM node) const;
    bool CanDelete(HTREEITEM node) const;
    bool Editing() const;
    // Ends a label edit, keeping (`keep`) or dropping the typed name.
    void EndEditing(bool keep);

    // Shows the shell's context menu of the node at the screen point and runs the chosen
    // command.
    enum class MenuOutcome { NotShown, Dismissed, CommandDone, CommandFailed };
    MenuOutcome ShowItemContextMenu(HTREEITEM node, POINT screen);

    // The parent's WM_NOTIFY from the tree; `handled` tells whether the answer counts.
    LRESULT HandleNotify(const NMHDR& header, bool& handled);

  private:
    static LRESULT CALLBACK SubclassProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam, UINT_PTR id, DWORD_PTR self);
    LRESULT HandleTreeMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    folders::TFolderItemData* Data(HTREEITEM node) const;
    std::string ItemText(HTREEITEM node) const;
    HTREEITEM AddFolderNode(const folders::ComPtr<IShellFolder>& folder,
                            folders::ScopedIdList absolute, HTREEITEM parent,
                            folders::ScopedIdList relative);
    folders::ComPtr<IShellFolder> FolderOf(HTREEITEM node) const;
    bool EnumerateChildren(const folders::ComPtr<IShellFolder>& folder, HTREEITEM node);
    // Lists the children of a node not listed yet; false when it turned out to have none.
    bool EnsureEnumerated(HTREEITEM node);
    void SortChildren(const folders::ComPtr<IShellFolder>& folder, HTREEITEM node);
    HTREEITEM FindNodeByIdList(LPCITEMIDLIST list);
    // Deletes the children; they are listed again when the node next opens.
    void DropChildren(HTREEITEM node);

    // Whether a menu was shown, whatever became of its command.
    bool ContextMenuAt(POINT screen);
    void SelectionChanged(HTREEITEM node);
    void WatchNode(HTREEITEM node);
    void StopWatch();
    void FolderChanged();
    bool RenameNodeFolder(HTREEITEM node, const std::string& name);
    bool DeleteNodeFolder(HTREEITEM node);

    HWND tree_ = nullptr;
    folders::ComPtr<IShellFolder> desktop_;
    std::string pendingSelection_;
    bool destroying_ = false;
    // Set while a refresh takes nodes away and back: their selection changes are one change.
    bool quietSelection_ = false;
    bool watchAtOnce_ = true;
    HTREEITEM timerNode_ = nullptr;
    std::unique_ptr<TFileChangeThread> watcher_;
    HTREEITEM watchedNode_ = nullptr;
    std::string watchedPath_;
};
