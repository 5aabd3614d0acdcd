#pragma once
// Control objects: a member of a dialog bound to one of its controls (for enabling, captions,
// check states), and controls subclassed by an object of our own.

#include <windows.h>

#include <string>

namespace marupo::ui {

// A window the object does not own: binding never creates or destroys the control.
class Control {
  public:
    Control() = default;
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Binds the object to `window` (a no-op when it is already bound to it). Returns false for a
    // null window or when the object is bound to another window.
    virtual bool Attach(HWND window);
    // Unbinds and returns the window.
    virtual HWND Detach();

    HWND Handle() const { return window_; }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    void Enable(bool enabled);
    void Show(bool visible);

    // ANSI text (captions of buttons, texts of edits and statics).
    std::string Text() const;
    void SetText(const std::string& text);

    // Button check state: BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    int CheckState() const;
    void SetCheckState(int state);

    // The window rectangle in screen coordinates.
    RECT WindowRect() const;

  private:
    HWND window_ = nullptr;
};

// A control whose messages pass through WindowProc first. Override WindowProc and call
// DefaultProc for everything the control's own procedure should still do. The subclass is
// removed on Detach, on destruction of the object or when the window is destroyed.
class SubclassedControl : public Control {
  public:
    SubclassedControl() = default;
    ~SubclassedControl() override;

    bool Attach(HWND window) override;
    HWND Detach() override;

  protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The control's own procedure (the one it had before it was subclassed).
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    UINT_PTR SubclassId() const;
    bool subclassed_ = false;
};

}  // namespace marupo::ui
