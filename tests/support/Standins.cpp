// Helpers for tests that use the stand-in archiver libraries and the stand-in companion.
#include "support/Standins.h"

#include "support/WinTestSupport.h"

#include <windows.h>

#include <stdexcept>

namespace testing_support {

void CopyStandin(const std::string& folder, const std::string& file) {
    std::string from = ProgramFolder() + file;
    std::string to = folder + file;
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE))
        throw std::runtime_error("cannot copy " + from + " to " + to);
}

void SetStandinControl(const std::string& folder, const std::string& dllFile,
                       const std::string& text) {
    std::string path = folder + dllFile + ".ctl";
    if (text.empty())
        DeleteFileA(path.c_str());
    else
        WriteFileBytes(path, text);
}

std::vector<std::string> StandinCalls(const std::string& folder, const std::string& dllFile) {
    return SplitLines(ReadFileBytes(folder + dllFile + ".log"));
}

void ClearStandinLog(const std::string& folder, const std::string& dllFile) {
    DeleteFileA((folder + dllFile + ".log").c_str());
}

void SetMorvaControl(const std::string& folder, const std::string& text) {
    std::string path = folder + "Morva.ctl";
    if (text.empty())
        DeleteFileA(path.c_str());
    else
        WriteFileBytes(path, text);
}

namespace {

// Reads the Morva log front to back. Running out of bytes means the record is still being
// written; bytes that are there but wrong mean the log is broken.
class MorvaLogReader {
  public:
    explicit MorvaLogReader(std::string text) : text_(std::move(text)) {}

    bool AtEnd() const { return pos_ >= text_.size(); }

    // Reads one line (without CR LF); false when no complete line is left.
    bool Line(std::string& line) {
        std::size_t end = text_.find("\r\n", pos_);
        if (end == std::string::npos)
            return false;
        line = text_.substr(pos_, end - pos_);
        pos_ = end + 2;
        return true;
    }

    // Reads n bytes followed by CR LF; false when they are not all there yet.
    bool Block(std::size_t n, std::string& bytes) {
        if (text_.size() - pos_ < n + 2)
            return false;
        if (text_.compare(pos_ + n, 2, "\r\n") != 0)
            Broken("length does not match the bytes that follow");
        bytes = text_.substr(pos_, n);
        pos_ += n + 2;
        return true;
    }

    [[noreturn]] void Broken(const std::string& why) const {
        throw std::runtime_error("malformed Morva.log at byte " + std::to_string(pos_) + ": " +
                                 why);
    }

  private:
    std::string text_;
    std::size_t pos_ = 0;
};

std::size_t ParseLength(const std::string& digits, const MorvaLogReader& reader) {
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
        reader.Broken("bad length '" + digits + "'");
    return static_cast<std::size_t>(std::stoul(digits));
}

} // namespace

std::vector<MorvaRun> ReadMorvaLog(const std::string& folder) {
    MorvaLogReader reader(ReadFileBytes(folder + "Morva.log"));
    std::vector<MorvaRun> runs;
    std::string line;
    while (!reader.AtEnd()) {
        if (!reader.Line(line))
            break;
        if (line == "--- end") {
            // Starts that overlap write their end lines in any order; each closes the
            // oldest start still open.
            bool closed = false;
            for (MorvaRun& open : runs) {
                if (!open.finished) {
                    open.finished = closed = true;
                    break;
                }
            }
            if (!closed)
                reader.Broken("'--- end' without a start");
            continue;
        }
        if (line != "--- start")
            reader.Broken("expected '--- start', found '" + line + "'");
        MorvaRun run;
        if (!reader.Line(line))
            break;
        if (line.rfind("cmdline ", 0) != 0)
            reader.Broken("expected 'cmdline <n>', found '" + line + "'");
        if (!reader.Block(ParseLength(line.substr(8), reader), run.commandLine))
            break;
        if (!reader.Line(line))
            break;
        if (line == "list none") {
            run.listStatus = "none";
        } else if (line == "list unreadable") {
            run.listStatus = "unreadable";
        } else if (line.rfind("list ", 0) == 0) {
            if (!reader.Block(ParseLength(line.substr(5), reader), run.listBytes))
                break;
            run.listStatus = "read";
            run.listFound = true;
        } else {
            reader.Broken("expected 'list ...', found '" + line + "'");
        }
        runs.push_back(run);
    }
    return runs;
}

std::vector<MorvaRun> WaitForMorvaRuns(const std::string& folder, std::size_t count,
                                       unsigned timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        std::vector<MorvaRun> runs = ReadMorvaLog(folder);
        std::size_t finished = 0;
        for (const MorvaRun& run : runs)
            finished += run.finished ? 1 : 0;
        if (finished >= count || GetTickCount() - start >= timeoutMs)
            return runs;
        Sleep(50);
    }
}

} // namespace testing_support
