// Stand-in for the companion Morva.exe: records each start (its exact command line and the
// hand-off list it was given) in "Morva.log" beside itself, so tests can see what Pakico sent.
//
// One record per start, every line ended by CR LF:
//   --- start
//   cmdline <n>            followed by the n bytes of the command line
//   list <n> | list unreadable | list none
//   --- end                written last, after the list file was deleted and any box closed
// "Morva.ctl" beside the exe: delete_list=1 deletes the list file, show=1 shows what arrived,
// clock=1 appends the performance counter at the start to "Morva.clock" and the one when it is
// ready for input to "Morva.ready", a line per start each; ready_delay=N makes it take N ms after
// its start before it first reads its messages (and so is ready for input, and records anything),
// as a large program loading from a cold disk does.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string OwnFolder() {
    char buf[MAX_PATH * 2];
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    std::string path(buf, n < sizeof buf ? n : 0);
    // The folder part ends at the last separator; walk by characters so a trail byte that
    // happens to be '\\' is not taken for one.
    std::size_t cut = 0;
    for (const char* p = path.c_str(); *p; p = CharNextA(p)) {
        if (*p == '\\' || *p == ':')
            cut = static_cast<std::size_t>(p - path.c_str()) + 1;
    }
    return path.substr(0, cut);
}

bool ReadWholeFile(const std::string& path, std::string& out) {
    out.clear();
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    char buf[65536];
    DWORD got = 0;
    bool ok = true;
    for (;;) {
        if (!ReadFile(h, buf, sizeof buf, &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        out.append(buf, got);
    }
    CloseHandle(h);
    return ok;
}

void AppendToFile(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

// The integer of a "key=value" line of the control text; 0 when the key is absent.
int ControlValue(const std::string& text, const std::string& key) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (text.compare(start, key.size() + 1, key + "=") == 0)
            return std::atoi(text.substr(start + key.size() + 1, end - start).c_str());
        start = end + 1;
    }
    return 0;
}

// Position just past the executable token of a command line (quoted or not).
std::size_t SkipExecutable(const std::string& cmd) {
    if (!cmd.empty() && cmd[0] == '"') {
        std::size_t close = cmd.find('"', 1);
        return close == std::string::npos ? cmd.size() : close + 1;
    }
    std::size_t space = cmd.find(' ');
    return space == std::string::npos ? cmd.size() : space;
}

// The text after the first "@" that starts a token, or false when there is none. A space is
// never a trail byte, so "@" right after one is always a character of its own.
bool FindListArgument(const std::string& cmd, std::string& tail) {
    for (std::size_t i = SkipExecutable(cmd); i < cmd.size(); ++i) {
        if (cmd[i] == '@' && i > 0 && cmd[i - 1] == ' ') {
            tail = cmd.substr(i + 1);
            while (!tail.empty() && tail.back() == ' ')
                tail.pop_back();
            return true;
        }
    }
    return false;
}

// Reads the list named after "@". Pakico puts the short path there, which has no spaces, and
// some command lines go on after it (" /Send"): when the whole tail names no file, its first
// word is tried.
bool ReadList(const std::string& tail, std::string& listPath, std::string& bytes) {
    listPath = tail;
    if (ReadWholeFile(listPath, bytes))
        return true;
    std::size_t space = tail.find(' ');
    if (space == std::string::npos)
        return false;
    listPath = tail.substr(0, space);
    return ReadWholeFile(listPath, bytes);
}

std::string OperationName(const std::string& args) {
    if (args.find("/QA") != std::string::npos)
        return "圧縮 (/QA)";
    if (args.find("/QE") != std::string::npos)
        return "解凍 (/QE)";
    if (args.find("/Send") != std::string::npos)
        return "書庫の表示 (/Da ... /Send)";
    if (args.empty())
        return "起動のみ (引数なし)";
    return "その他";
}

void ShowWhatArrived(const std::string& cmd, bool hasList, bool listRead,
                     const std::string& listBytes) {
    std::string args = cmd.substr(SkipExecutable(cmd));
    std::string text =
        "Morva の代役が次の指示を受け取りました。\r\n\r\n操作: " + OperationName(args) +
        "\r\n引数:" + args + "\r\n";
    if (!hasList) {
        text += "\r\nリストファイルはありません。";
    } else if (!listRead) {
        text += "\r\nリストファイルが読めません。";
    } else {
        text += "\r\n対象のファイル:\r\n";
        std::size_t start = 0;
        int count = 0;
        while (start < listBytes.size() && count < 20) {
            std::size_t end = listBytes.find("\r\n", start);
            if (end == std::string::npos)
                end = listBytes.size();
            text += "  " + listBytes.substr(start, end - start) + "\r\n";
            start = end + 2;
            ++count;
        }
        if (start < listBytes.size())
            text += "  ...\r\n";
    }
    MessageBoxA(nullptr, text.c_str(), "Morva (代役)", MB_OK | MB_ICONINFORMATION);
}

} // namespace

int main() {
    LARGE_INTEGER started;
    QueryPerformanceCounter(&started);
    const std::string folder = OwnFolder();
    const std::string logPath = folder + "Morva.log";
    std::string control;
    ReadWholeFile(folder + "Morva.ctl", control);
    const bool clock = ControlValue(control, "clock") != 0;
    if (clock)
        AppendToFile(folder + "Morva.clock", std::to_string(started.QuadPart) + "\r\n");
    // Whoever waits for the new process to be ready for input waits until its first look at its
    // messages.
    if (int delay = ControlValue(control, "ready_delay"); delay > 0)
        Sleep(static_cast<DWORD>(delay));
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    if (clock) {
        LARGE_INTEGER ready;
        QueryPerformanceCounter(&ready);
        AppendToFile(folder + "Morva.ready", std::to_string(ready.QuadPart) + "\r\n");
    }

    const std::string cmd = GetCommandLineA();
    std::string record =
        "--- start\r\ncmdline " + std::to_string(cmd.size()) + "\r\n" + cmd + "\r\n";

    std::string tail, listPath, listBytes;
    const bool hasList = FindListArgument(cmd, tail);
    const bool listRead = hasList && ReadList(tail, listPath, listBytes);
    if (!hasList)
        record += "list none\r\n";
    else if (!listRead)
        record += "list unreadable\r\n";
    else
        record += "list " + std::to_string(listBytes.size()) + "\r\n" + listBytes + "\r\n";
    AppendToFile(logPath, record);

    if (listRead && ControlValue(control, "delete_list") != 0)
        DeleteFileA(listPath.c_str());
    if (ControlValue(control, "show") != 0)
        ShowWhatArrived(cmd, hasList, listRead, listBytes);

    AppendToFile(logPath, "--- end\r\n");
    return 0;
}
