// Sorting the collected files at the end of an automatic import, and the report's text.
#include "watch/ImportReport.h"

#include "util/MessageLayout.h"
#include "util/PathRules.h"

namespace watch {

TImportOutcome SortCollected(const std::vector<TListedFile>& collected,
                             const TImportChecks& checks) {
    TImportOutcome outcome;
    for (const TListedFile& file : collected) {
        if (!checks.exists(file)) {
            if (checks.namedAsArchive(file.path))
                outcome.gone.push_back(file.path);
            continue;
        }
        ++outcome.count;
        if (!file.opens)
            outcome.unnamed.push_back(file.path);
        else if (checks.isArchive(file.path))
            outcome.archives.push_back(file.path);
    }
    return outcome;
}

namespace {

// Why the archives found did not reach the companion, and what to check.
const char* NotHandedOver(TImportHandOver handOver) {
    if (handOver == TImportHandOver::ListNotWritten)
        return "書庫をMorvaに渡せませんでした。一時フォルダに書庫の一覧を書き込めません。\r\n"
               "一時フォルダ (環境変数 TEMP のフォルダ) に書き込めるか、そのドライブに空きが"
               "あるかを確かめてください。";
    return "書庫をMorvaに渡せませんでした。Morvaを起動できません。\r\n"
           "Pakico.exe と同じフォルダに Morva.exe があるかを確かめてください。";
}

} // namespace

std::string ImportReportText(const TImportOutcome& outcome, TImportHandOver handOver,
                             const std::function<std::string(long long)>& formatCount) {
    auto count = [&](std::size_t n) { return formatCount(static_cast<long long>(n)); };
    const std::string header = "取込数 : " + count(outcome.count) + "件" + "\r\n";
    std::string text;
    if (outcome.count == 0) {
        text = "取り込んだファイルはありません";
    } else if (outcome.archives.empty()) {
        text = header + "取り込んだファイルに書庫と認識できるファイルはありません";
    } else {
        ListFilesMessage(header, 10, text, true, outcome.archives, formatCount);
        text += "\r\n" + (handOver == TImportHandOver::Done
                              ? count(outcome.archives.size()) + " 件の書庫を取り込みました。"
                              : NotHandedOver(handOver));
    }
    ListFilesMessage("次の書庫は見つからないため取り込めませんでした。", 10, text, false,
                     outcome.gone, formatCount);
    AppendNamesOutsideCodePage(text, outcome.unnamed, false, formatCount);
    return text;
}

} // namespace watch
