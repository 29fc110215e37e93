// Sorting the collected files at the end of an automatic import, and the report's text.
#include "watch/ImportReport.h"

#include "util/MessageLayout.h"

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

std::string ImportReportText(const TImportOutcome& outcome, bool handedOver,
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
        text +=
            "\r\n" + (handedOver ? count(outcome.archives.size()) + " 件の書庫を取り込みました。"
                                 : "Morvaを起動できないため、書庫を取り込めませんでした。");
    }
    ListFilesMessage("次の書庫は見つからないため取り込めませんでした。", 10, text, false,
                     outcome.gone, formatCount);
    ListFilesMessage("次のファイルは名前をMorvaに渡せないため取り込めませんでした。", 10, text,
                     false, outcome.unnamed, formatCount);
    return text;
}

} // namespace watch
