// Base of the owner-drawn, fixed-height combo boxes (CBS_OWNERDRAWFIXED | CBS_HASSTRINGS):
// the parent window hands WM_MEASUREITEM and WM_DRAWITEM on to the control's object.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class OwnerDrawComboBox {
  public:
    OwnerDrawComboBox() = default;
    OwnerDrawComboBox(const OwnerDrawComboBox&) = delete;
    OwnerDrawComboBox& operator=(const OwnerDrawComboBox&) = delete;
    // Destroys a box it created; one attached from a dialog is only let go.
    virtual ~OwnerDrawComboBox();

    // Creates the box as a child of `parent` (a drop-down list unless `kind` says otherwise),
    // with the parent's font. False when the platform refuses.
    bool Create(HWND parent, int id, const RECT& bounds, DWORD kind = CBS_DROPDOWNLIST);
    // Takes over a box a dialog template made; the template must give it CBS_OWNERDRAWFIXED
    // and CBS_HASSTRINGS. Its item height is measured here, as the parent asked too early.
    void Attach(HWND combo);
    void Detach();
    // Measures the rows again, as after a change of font or density.
    void Remeasure();

    HWND Handle() const { return combo_; }
    // The object of a box made or attached here, or null.
    static OwnerDrawComboBox* FromHandle(HWND combo);

    int Count() const;
    std::string Item(int index) const;
    void AddItem(const std::string& text);
    void InsertItem(int index, const std::string& text);
    void DeleteItem(int index);
    void ClearItems();
    // The selected item, or -1.
    int ItemIndex() const;
    void SetItemIndex(int index);
    // The box's text (in a drop-down list, the selected item's); setting it has an effect
    // only where the box has an edit field, as with the platform's own combo box.
    std::string Text() const;
    void SetText(const std::string& text);
    bool Enabled() const;

    // The parent's requests, handed on (see ui::ReflectOwnerDraw).
    static bool ReflectMeasure(HWND parent, MEASUREITEMSTRUCT& measure);
    static bool ReflectDraw(const DRAWITEMSTRUCT& draw);

  protected:
    // The height of the items; the default fits one line of the box's font.
    virtual void MeasureItem(MEASUREITEMSTRUCT& measure);
    // Draws one item; the default draws its text in the selection colours.
    virtual void DrawItem(const DRAWITEMSTRUCT& draw);

  private:
    static LRESULT CALLBACK SubclassProcedure(HWND combo, UINT message, WPARAM wParam,
                                              LPARAM lParam, UINT_PTR id, DWORD_PTR self);
    void Bind(HWND combo);

    HWND combo_ = nullptr;
    bool created_ = false;
};

} // namespace ui
