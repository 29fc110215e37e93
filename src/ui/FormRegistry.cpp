// The program's open windows.
#include "ui/FormRegistry.h"

#include <algorithm>
#include <vector>

namespace ui {

namespace {
struct OpenForm {
    HWND window;
    std::string name;
};
// GUI thread only.
std::vector<OpenForm>& OpenForms() {
    static std::vector<OpenForm> forms;
    return forms;
}
// Platform message boxes on screen, GUI thread only.
int openBoxes = 0;
} // namespace

void RegisterForm(HWND window, const std::string& name) {
    UnregisterForm(window);
    OpenForms().push_back({window, name});
}

void UnregisterForm(HWND window) {
    auto& forms = OpenForms();
    forms.erase(std::remove_if(forms.begin(), forms.end(),
                               [window](const OpenForm& f) { return f.window == window; }),
                forms.end());
}

bool IsAnyOtherFormOpen(const std::string& mainName) {
    const auto& forms = OpenForms();
    return openBoxes > 0 || std::any_of(forms.begin(), forms.end(),
                                        [&](const OpenForm& f) { return f.name != mainName; });
}

ScopedOpenBox::ScopedOpenBox() {
    ++openBoxes;
}

ScopedOpenBox::~ScopedOpenBox() {
    --openBoxes;
}

} // namespace ui
