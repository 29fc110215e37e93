// Message formatting for the program's errors.
#include "util/Errors.h"

std::string FormatText(const char* templ, std::initializer_list<std::string> args) {
    std::string out;
    auto next = args.begin();
    for (const char* p = templ; *p; ++p) {
        if (p[0] == '%' && p[1] == 's' && next != args.end()) {
            out += *next++;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}
