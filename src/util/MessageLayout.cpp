// The rules of the program's message boxes that need no window.
#include "util/MessageLayout.h"

#include <algorithm>
#include <array>

#include "util/Mbcs.h"

namespace {

const std::array<MessageButtonInfo, 11> kButtons = {{
    {MessageButton::Yes, MessageResult::Yes, "はい(&Y)"},
    {MessageButton::No, MessageResult::No, "いいえ(&N)"},
    {MessageButton::OK, MessageResult::OK, "OK"},
    {MessageButton::Cancel, MessageResult::Cancel, "キャンセル"},
    {MessageButton::Abort, MessageResult::Abort, "中止(&A)"},
    {MessageButton::Retry, MessageResult::Retry, "再試行(&R)"},
    {MessageButton::Ignore, MessageResult::Ignore, "無視(&I)"},
    {MessageButton::All, MessageResult::All, "すべて(&A)"},
    {MessageButton::NoToAll, MessageResult::NoToAll, "すべていいえ(&O)"},
    {MessageButton::YesToAll, MessageResult::YesToAll, "すべてはい(&A)"},
    {MessageButton::Help, MessageResult::None, "ヘルプ(&H)"},
}};

} // namespace

std::string MessageCaption(MessageKind kind) {
    switch (kind) {
    case MessageKind::Warning:
        return "警告";
    case MessageKind::Error:
        return "エラー";
    case MessageKind::Information:
        return "情報";
    case MessageKind::Confirmation:
        return "確認";
    case MessageKind::Custom:
        break;
    }
    return kApplicationTitle;
}

MessageIcon MessageIconOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Warning:
        return MessageIcon::Exclamation;
    case MessageKind::Error:
        return MessageIcon::Hand;
    case MessageKind::Information:
        return MessageIcon::Asterisk;
    case MessageKind::Confirmation:
        return MessageIcon::Question;
    case MessageKind::Custom:
        break;
    }
    return MessageIcon::None;
}

std::vector<MessageButtonInfo> MessageButtonsOf(unsigned buttons) {
    std::vector<MessageButtonInfo> out;
    for (const MessageButtonInfo& b : kButtons)
        if (buttons & b.bit)
            out.push_back(b);
    return out;
}

int DefaultMessageResult(unsigned buttons) {
    if (buttons & MessageButton::OK)
        return MessageResult::OK;
    if (buttons & MessageButton::Yes)
        return MessageResult::Yes;
    if (buttons & MessageButton::Retry)
        return MessageResult::Retry;
    return MessageResult::None;
}

int EscapeMessageResult(unsigned buttons) {
    if (buttons & MessageButton::Cancel)
        return MessageResult::Cancel;
    if (buttons & MessageButton::No)
        return MessageResult::No;
    return MessageResult::OK;
}

const char* NetworkErrorText(int code) {
    switch (code) {
    case 8:
        return "システムメモリが不足しています。";
    case 86:
        return "無効なパスワードです。";
    case 1208:
        return "ネットワークエラーです。";
    case 1222:
        return "ネットワークは機能していません。";
    default:
        return nullptr;
    }
}

void ListFilesMessage(const std::string& header, int limit, std::string& text, bool withRule,
                      const std::vector<std::string>& paths,
                      const std::function<std::string(long long)>& formatCount) {
    const std::size_t shown = static_cast<std::size_t>(std::max(limit, 0));
    if (!paths.empty()) {
        if (!text.empty())
            text += "\r\n\r\n";
        text += header;
        for (std::size_t i = 0; i < paths.size() && i < shown; ++i) {
            const std::string& path = paths[i];
            std::size_t sep = mbcs::LastDelimiter(path, "\\");
            text += "\r\n ";
            text += sep == std::string::npos ? path : path.substr(sep + 1);
        }
        if (paths.size() > shown)
            text += " ... 他 " + formatCount(static_cast<long long>(paths.size() - shown)) + " 件";
    }
    if (withRule)
        text += "\r\n" + std::string(60, '-') + "\r\n";
}
