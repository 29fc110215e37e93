// Splits a string at a separator into a list of parts, and joins such a list back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class TBrkApart {
  public:
    // The separator; ";" unless set otherwise.
    const std::string& BreakString() const { return breakString_; }
    void SetBreakString(std::string_view separator) { breakString_ = separator; }

    // Whether empty parts are kept when splitting and joined when joining; false by default.
    bool AllowEmptyString() const { return allowEmptyString_; }
    void SetAllowEmptyString(bool allow) { allowEmptyString_ = allow; }

    // The joined form of StringList: the first part, then BreakString and each further part
    // (empty further parts are left out unless AllowEmptyString is set). No parts give "".
    std::string BaseString() const;
    // Replaces StringList with the parts of `text`. The separator is only found where it
    // starts on a character, so a trail byte never splits a double-byte character.
    void SetBaseString(std::string_view text);

    std::vector<std::string>& StringList() { return stringList_; }
    const std::vector<std::string>& StringList() const { return stringList_; }

  private:
    std::string breakString_ = ";";
    bool allowEmptyString_ = false;
    std::vector<std::string> stringList_;
};
