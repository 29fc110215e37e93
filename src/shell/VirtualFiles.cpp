// Virtual files of a drop written into the drop's folder, inside the drop or on a thread after
// it.
#include "shell/VirtualFiles.h"

#include "shell/DropTarget.h"
#include "util/CodePagePath.h"

#include <shldisp.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>

namespace {

using Outcome = VirtualFilesWritten::Outcome;

std::atomic<VirtualFileWriteCall> writeCall{WriteFile};

// Pieces of streams and memory are written this large: few calls to a source in another
// process, and the same memory whatever the size of the file.
constexpr std::size_t kPiece = 1 << 20;

std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

std::optional<FILETIME> Time(const std::optional<vfiles::FileTime>& time) {
    if (!time)
        return std::nullopt;
    return FILETIME{time->low, time->high};
}

bool HasTimes(const vfiles::DescribedItem& item) {
    return item.created || item.accessed || item.written;
}

void SetTimes(HANDLE file, const vfiles::DescribedItem& item) {
    const auto created = Time(item.created), accessed = Time(item.accessed),
               written = Time(item.written);
    SetFileTime(file, created ? &*created : nullptr, accessed ? &*accessed : nullptr,
                written ? &*written : nullptr);
}

// Opens a file or folder that was just made, for its times only.
win::ScopedHandle OpenForTimes(const std::wstring& path) {
    return win::ScopedHandle(CreateFileW(
        path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

std::wstring Upper(std::wstring text) {
    if (!text.empty())
        CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

class Writer {
  public:
    Writer(IDataObject* data, const std::string& folder, const std::atomic<bool>& stop)
        : data_(data), root_(WideText(folder)), extendedRoot_(ExtendedLengthPath(root_)),
          stop_(stop), contents_(static_cast<CLIPFORMAT>(DropFormats().fileContents)) {}

    // Writes one item; false when it failed and the drop stops.
    bool Write(LONG index, const vfiles::DescribedItem& item);
    // What was written, once every item is.
    VirtualFilesWritten Finish();
    // What stopped it.
    VirtualFilesWritten Failure() { return std::move(result_); }

  private:
    enum class Made { Yes, Taken, Failed };
    using Make = std::function<Made(const std::wstring& path)>;

    std::wstring Full(const std::wstring& relative) const {
        return extendedRoot_ + L"\\" + relative;
    }
    bool Fail(Outcome outcome, const vfiles::DescribedItem& item);
    bool FailWriting(const vfiles::DescribedItem& item);
    Made Taken(DWORD error, const std::wstring& path);
    std::optional<std::wstring> MakeNew(const std::wstring& parent, const std::u16string& name,
                                        const Make& make);
    std::optional<std::wstring> FolderOf(const std::vector<std::u16string>& parts,
                                         std::size_t count);
    bool GetContents(LONG index, STGMEDIUM& medium);
    bool Put(HANDLE file, const void* bytes, std::size_t size, const vfiles::DescribedItem& item);
    bool CopyGlobal(HGLOBAL global, HANDLE file, const vfiles::DescribedItem& item);
    bool CopyStream(IStream* stream, HANDLE file, const vfiles::DescribedItem& item);
    bool WriteStorage(IStorage* storage, const std::wstring& parent,
                      const std::vector<std::u16string>& parts, const vfiles::DescribedItem& item);
    bool WriteContents(const STGMEDIUM& medium, const std::wstring& parent,
                       const std::vector<std::u16string>& parts, const vfiles::DescribedItem& item);

    IDataObject* data_;
    std::wstring root_, extendedRoot_;
    const std::atomic<bool>& stop_;
    CLIPFORMAT contents_;
    // A folder the descriptor names (by its safe parts) and where it was made for this drop: only
    // such folders take more items.
    std::map<std::wstring, std::wstring> folders_;
    // How many names were tried for a name in a folder (upper-cased, as the file system compares
    // them): a second item of that name starts at the next one.
    std::map<std::wstring, unsigned> tried_;
    // The entries made at the top of the folder, in order.
    std::vector<std::wstring> top_;
    std::vector<std::pair<std::wstring, const vfiles::DescribedItem*>> folderTimes_;
    DWORD error_ = ERROR_SUCCESS;
    VirtualFilesWritten result_;
};

bool Writer::Fail(Outcome outcome, const vfiles::DescribedItem& item) {
    result_.outcome = outcome;
    result_.item = CodePageTextForDisplay(Wide(item.name));
    return false;
}

bool Writer::FailWriting(const vfiles::DescribedItem& item) {
    const bool full = error_ == ERROR_DISK_FULL || error_ == ERROR_HANDLE_DISK_FULL ||
                      error_ == static_cast<DWORD>(STG_E_MEDIUMFULL) ||
                      error_ == static_cast<DWORD>(HRESULT_FROM_WIN32(ERROR_DISK_FULL));
    return Fail(full ? Outcome::DiskFull : Outcome::NotWritable, item);
}

Writer::Made Writer::Taken(DWORD error, const std::wstring& path) {
    // A folder in the way of a file answers "access denied" rather than "exists".
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
        (error == ERROR_ACCESS_DENIED &&
         GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES))
        return Made::Taken;
    error_ = error;
    return Made::Failed;
}

std::optional<std::wstring> Writer::MakeNew(const std::wstring& parent, const std::u16string& name,
                                            const Make& make) {
    const std::wstring prefix = parent.empty() ? std::wstring() : parent + L"\\";
    unsigned& tried = tried_[Upper(prefix + Wide(name))];
    // Every item could have the same name; beyond that, something else is in the way.
    while (tried <= vfiles::kMostItems) {
        const std::wstring relative =
            prefix + Wide(tried == 0 ? name : vfiles::NumberedName(name, tried + 1));
        ++tried;
        switch (make(Full(relative))) {
        case Made::Yes:
            return relative;
        case Made::Taken:
            continue;
        case Made::Failed:
            return std::nullopt;
        }
    }
    error_ = ERROR_FILE_EXISTS;
    return std::nullopt;
}

std::optional<std::wstring> Writer::FolderOf(const std::vector<std::u16string>& parts,
                                             std::size_t count) {
    std::wstring named, made;
    for (std::size_t i = 0; i < count; ++i) {
        named += (i ? L"\\" : L"") + Wide(parts[i]);
        auto known = folders_.find(named);
        if (known != folders_.end()) {
            made = known->second;
            continue;
        }
        auto folder = MakeNew(made, parts[i], [this](const std::wstring& path) {
            return CreateDirectoryW(path.c_str(), nullptr) ? Made::Yes
                                                           : Taken(GetLastError(), path);
        });
        if (!folder)
            return std::nullopt;
        made = folders_[named] = *folder;
        result_.made.push_back(*folder + L"\\");
        if (i == 0)
            top_.push_back(made);
    }
    return made;
}

bool Writer::GetContents(LONG index, STGMEDIUM& medium) {
    // The contents as the source likes best; a source that hands out one medium for each
    // request is asked for each in turn.
    static constexpr DWORD kMedia[] = {TYMED_HGLOBAL | TYMED_ISTREAM | TYMED_ISTORAGE,
                                       TYMED_ISTREAM, TYMED_HGLOBAL, TYMED_ISTORAGE};
    for (DWORD tymed : kMedia) {
        FORMATETC format{contents_, nullptr, DVASPECT_CONTENT, index, tymed};
        medium = STGMEDIUM{};
        const HRESULT result = data_->GetData(&format, &medium);
        if (SUCCEEDED(result))
            return (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) ||
                   (medium.tymed == TYMED_ISTREAM && medium.pstm) ||
                   (medium.tymed == TYMED_ISTORAGE && medium.pstg);
        medium = STGMEDIUM{};
        if (result != DV_E_TYMED && result != DV_E_FORMATETC)
            return false;
    }
    return false;
}

bool Writer::Put(HANDLE file, const void* bytes, std::size_t size,
                 const vfiles::DescribedItem& item) {
    const auto* at = static_cast<const BYTE*>(bytes);
    while (size > 0) {
        if (stop_)
            return Fail(Outcome::Stopped, item);
        const DWORD piece = static_cast<DWORD>(std::min(size, kPiece));
        DWORD written = 0;
        if (!writeCall.load()(file, at, piece, &written, nullptr) || written == 0) {
            error_ = GetLastError();
            return FailWriting(item);
        }
        at += written;
        size -= written;
    }
    return true;
}

bool Writer::CopyGlobal(HGLOBAL global, HANDLE file, const vfiles::DescribedItem& item) {
    // A block may be larger than what it holds: the descriptor's size says where it ends.
    const SIZE_T have = GlobalSize(global);
    const std::uint64_t size = item.size.value_or(have);
    if (size > have)
        return Fail(Outcome::Unreadable, item);
    const void* bytes = GlobalLock(global);
    if (!bytes)
        return size == 0 || Fail(Outcome::Unreadable, item);
    const bool put = Put(file, bytes, static_cast<std::size_t>(size), item);
    GlobalUnlock(global);
    return put;
}

bool Writer::CopyStream(IStream* stream, HANDLE file, const vfiles::DescribedItem& item) {
    // A data object hands a stream out standing at the end of its contents, which run from its
    // start. Many sources hand theirs out standing at the start instead: those are read to
    // their end.
    LARGE_INTEGER zero{};
    ULARGE_INTEGER end{};
    std::optional<std::uint64_t> length;
    if (SUCCEEDED(stream->Seek(zero, STREAM_SEEK_CUR, &end)) && end.QuadPart > 0 &&
        SUCCEEDED(stream->Seek(zero, STREAM_SEEK_SET, nullptr)))
        length = end.QuadPart;
    std::vector<BYTE> piece(kPiece);
    std::uint64_t total = 0;
    while (!length || total < *length) {
        if (stop_)
            return Fail(Outcome::Stopped, item);
        const ULONG wanted =
            static_cast<ULONG>(length ? std::min<std::uint64_t>(kPiece, *length - total) : kPiece);
        ULONG read = 0;
        if (FAILED(stream->Read(piece.data(), wanted, &read)))
            return Fail(Outcome::Unreadable, item);
        // A stream never hands out more than was asked; one that says so is not believed.
        read = std::min(read, wanted);
        if (read == 0)
            break;
        if (!Put(file, piece.data(), read, item))
            return false;
        total += read;
    }
    if ((length && total != *length) || (item.size && total != *item.size))
        return Fail(Outcome::Unreadable, item);
    return true;
}

bool Writer::WriteStorage(IStorage* storage, const std::wstring& parent,
                          const std::vector<std::u16string>& parts,
                          const vfiles::DescribedItem& item) {
    IStorage* copy = nullptr;
    const auto relative = MakeNew(parent, parts.back(), [&](const std::wstring& path) {
        const HRESULT made = StgCreateDocfile(
            path.c_str(), STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_FAILIFTHERE, 0, &copy);
        if (SUCCEEDED(made))
            return Made::Yes;
        return made == STG_E_FILEALREADYEXISTS ? Made::Taken
                                               : Taken(static_cast<DWORD>(made), path);
    });
    if (!relative)
        return FailWriting(item);
    result_.made.push_back(*relative);
    if (parts.size() == 1)
        top_.push_back(*relative);
    // The storage's own size on the disk is no measure of its contents: the descriptor's size
    // is not checked here.
    HRESULT copied = storage->CopyTo(0, nullptr, nullptr, copy);
    if (SUCCEEDED(copied))
        copied = copy->Commit(STGC_DEFAULT);
    copy->Release();
    if (copied == STG_E_MEDIUMFULL) {
        error_ = ERROR_DISK_FULL;
        return FailWriting(item);
    }
    if (FAILED(copied))
        return Fail(Outcome::Unreadable, item);
    if (HasTimes(item))
        if (win::ScopedHandle file = OpenForTimes(Full(*relative)))
            SetTimes(file.get(), item);
    return true;
}

bool Writer::WriteContents(const STGMEDIUM& medium, const std::wstring& parent,
                           const std::vector<std::u16string>& parts,
                           const vfiles::DescribedItem& item) {
    win::ScopedHandle file;
    const auto relative = MakeNew(parent, parts.back(), [&](const std::wstring& path) {
        file.reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        return file ? Made::Yes : Taken(GetLastError(), path);
    });
    if (!relative)
        return FailWriting(item);
    result_.made.push_back(*relative);
    if (parts.size() == 1)
        top_.push_back(*relative);
    const bool copied = medium.tymed == TYMED_HGLOBAL ? CopyGlobal(medium.hGlobal, file.get(), item)
                                                      : CopyStream(medium.pstm, file.get(), item);
    if (copied)
        SetTimes(file.get(), item);
    return copied;
}

bool Writer::Write(LONG index, const vfiles::DescribedItem& item) {
    if (stop_)
        return Fail(Outcome::Stopped, item);
    const std::vector<std::u16string> parts = vfiles::SafeComponents(item.name);
    const auto parent = FolderOf(parts, parts.size() - 1);
    if (!parent)
        return FailWriting(item);
    if (item.folder) {
        const auto folder = FolderOf(parts, parts.size());
        if (!folder)
            return FailWriting(item);
        if (HasTimes(item))
            folderTimes_.emplace_back(*folder, &item);
        return true;
    }
    ScopedMedium contents;
    if (!GetContents(index, contents.medium))
        return Fail(Outcome::Unreadable, item);
    if (contents.medium.tymed == TYMED_ISTORAGE)
        return WriteStorage(contents.medium.pstg, *parent, parts, item);
    return WriteContents(contents.medium, *parent, parts, item);
}

VirtualFilesWritten Writer::Finish() {
    // The folders' times last, innermost first: writing into a folder changes its own.
    for (auto folder = folderTimes_.rbegin(); folder != folderTimes_.rend(); ++folder)
        if (win::ScopedHandle handle = OpenForTimes(Full(folder->first)))
            SetTimes(handle.get(), *folder->second);
    for (const std::wstring& entry : top_) {
        if (auto path = CodePagePath(root_ + L"\\" + entry))
            result_.paths.push_back(std::move(*path));
        else
            result_.leftOut.push_back(CodePageTextForDisplay(entry));
    }
    return std::move(result_);
}

} // namespace

VirtualFilesWritten WriteVirtualFiles(IDataObject* data,
                                      const std::vector<vfiles::DescribedItem>& items,
                                      const std::string& folder, const std::atomic<bool>& stop) {
    win::ScopedErrorMode quiet;
    Writer writer(data, folder, stop);
    for (std::size_t i = 0; i < items.size(); ++i)
        if (!writer.Write(static_cast<LONG>(i), items[i]))
            return writer.Failure();
    return writer.Finish();
}

VirtualFileWriteCall ReplaceVirtualFileWriteCall(VirtualFileWriteCall call) {
    return writeCall.exchange(call ? call : WriteFile);
}

// --- TVirtualFileDrop ---------------------------------------------------------------------

// What the thread reading after the drop shares with the drop: it may outlive the drop when the
// program ends while a source does not answer.
struct TVirtualFileDrop::Read {
    std::vector<vfiles::DescribedItem> items;
    std::string folder;
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    // The data object, for the thread's apartment.
    IStream* marshalled = nullptr;
    HWND window = nullptr;
    UINT message = 0;
    VirtualFilesWritten result;
};

TVirtualFileDrop::TVirtualFileDrop(IDataObject* data, std::vector<vfiles::DescribedItem> items,
                                   std::string folder)
    : data_(data), read_(std::make_shared<Read>()) {
    data_->AddRef();
    read_->items = std::move(items);
    read_->folder = std::move(folder);
}

TVirtualFileDrop::~TVirtualFileDrop() {
    bool ended = true;
    if (thread_) {
        read_->stop = true;
        // The source may call back into this thread's apartment meanwhile: its calls are let in.
        HANDLE thread = thread_.get();
        DWORD which = 0;
        ended = CoWaitForMultipleHandles(0, 10000, 1, &thread, &which) == S_OK;
    }
    // A source that does not answer is not asked again.
    if (ended)
        EndOperation(false);
    else if (async_)
        async_->Release();
    data_->Release();
}

const std::string& TVirtualFileDrop::Folder() const {
    return read_->folder;
}

bool TVirtualFileDrop::ReadAfterDrop(HWND window, UINT message) {
    IDataObjectAsyncCapability* async = nullptr;
    if (FAILED(data_->QueryInterface(IID_IDataObjectAsyncCapability,
                                     reinterpret_cast<void**>(&async))) ||
        !async)
        return false;
    BOOL later = FALSE;
    if (FAILED(async->GetAsyncMode(&later)) || !later || FAILED(async->StartOperation(nullptr))) {
        async->Release();
        return false;
    }
    // Started: from here on the source waits for the end, however the reading goes.
    async_ = async;
    read_->window = window;
    read_->message = message;
    if (FAILED(CoMarshalInterThreadInterfaceInStream(IID_IDataObject, data_, &read_->marshalled)))
        return false;
    auto* shared = new std::shared_ptr<Read>(read_);
    thread_.reset(CreateThread(nullptr, 0, ReadThread, shared, 0, nullptr));
    if (thread_)
        return true;
    delete shared;
    CoReleaseMarshalData(read_->marshalled);
    read_->marshalled->Release();
    read_->marshalled = nullptr;
    return false;
}

DWORD WINAPI TVirtualFileDrop::ReadThread(void* shared) {
    const std::shared_ptr<Read> read = *static_cast<std::shared_ptr<Read>*>(shared);
    delete static_cast<std::shared_ptr<Read>*>(shared);
    try {
        const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        IDataObject* data = nullptr;
        const HRESULT unmarshalled = CoGetInterfaceAndReleaseStream(
            read->marshalled, IID_IDataObject, reinterpret_cast<void**>(&data));
        read->marshalled = nullptr;
        if (SUCCEEDED(unmarshalled)) {
            read->result = WriteVirtualFiles(data, read->items, read->folder, read->stop);
            data->Release();
        } else {
            read->result.outcome = Outcome::Unreadable;
        }
        if (com)
            CoUninitialize();
    } catch (...) {
        // Out of memory: nothing may leave the thread.
        read->result = VirtualFilesWritten{};
        read->result.outcome = Outcome::NotWritable;
    }
    read->done = true;
    PostMessageA(read->window, read->message, 0, 0);
    return 0;
}

VirtualFilesWritten TVirtualFileDrop::ReadNow() {
    read_->result = WriteVirtualFiles(data_, read_->items, read_->folder, read_->stop);
    EndOperation(read_->result.outcome == Outcome::Written);
    return std::move(read_->result);
}

bool TVirtualFileDrop::Done() const {
    return read_->done;
}

VirtualFilesWritten TVirtualFileDrop::Finish() {
    if (thread_)
        WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
    EndOperation(read_->result.outcome == Outcome::Written);
    return std::move(read_->result);
}

void TVirtualFileDrop::EndOperation(bool written) {
    if (!async_)
        return;
    async_->EndOperation(written ? S_OK : E_FAIL, nullptr,
                         written ? DROPEFFECT_COPY : DROPEFFECT_NONE);
    async_->Release();
    async_ = nullptr;
}
