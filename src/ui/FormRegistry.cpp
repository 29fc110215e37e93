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

std::function<void()>& FormClosedHandler() {
    static std::function<void()> handler;
    return handler;
}

void FormClosed() {
    // A copy: the handler may replace itself.
    if (std::function<void()> handler = FormClosedHandler())
        handler();
}

// Takes a window off the list; whether it was on it.
bool Forget(HWND window) {
    auto& forms = OpenForms();
    auto gone = std::remove_if(forms.begin(), forms.end(),
                               [window](const OpenForm& f) { return f.window == window; });
    if (gone == forms.end())
        return false;
    forms.erase(gone, forms.end());
    return true;
}

} // namespace

void RegisterForm(HWND window, const std::string& name) {
    Forget(window);
    OpenForms().push_back({window, name});
}

void UnregisterForm(HWND window) {
    if (Forget(window))
        FormClosed();
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
    FormClosed();
}

void SetFormClosedHandler(std::function<void()> handler) {
    FormClosedHandler() = std::move(handler);
}

} // namespace ui
