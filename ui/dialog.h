#pragma once
// Dialogs over plain Win32: modal dialogs with their own modal loop, and modeless child pages.
//
// A dialog class registers its handlers in its constructor, one line per control and
// notification, so the whole map reads at a glance:
//
//     AddressPage::AddressPage(AddressEntry& edited, const PostalSettings& settings)
//         : Dialog(IDD_ADDRESS_PAGE), entry(edited), settings_(settings) {
//         OnCommand(IDC_ADDR_CONVERT_POSTAL, BN_CLICKED, &AddressPage::ConvertPostal);
//         OnCommandRange(IDC_ADDR_PRIMARY_RADIO0, IDC_ADDR_PRIMARY_RADIO4, BN_CLICKED,
//                        &AddressPage::ChoosePrimarySlot);  // gets the id
//         OnCommandRange(ID_LABEL_COMPANY, ID_LABEL_OTHER, 0, &AddressPage::ChangeLabel);  // menu
//         OnMessage(WM_READING_CAPTURED, &AddressPage::OnReadingCaptured);
//     }
//
// and binds its control objects and lists its fields in their fixed exchange order in
// ExchangeData:
//
//     void AddressPage::ExchangeData(ui::DataExchange& dx) {
//         dx.Bind(IDC_ADDR_SURNAME, surnameEdit_);
//         ...
//         dx.Text(IDC_ADDR_GIVEN_NAME, entry.givenName);
//         dx.Text(IDC_ADDR_GIVEN_NAME_READING, entry.givenNameReading, kFieldLimit);
//         ...
//         dx.Radio(IDC_ADDR_PRIMARY_RADIO0, entry.primarySlot);
//         ...
//     }
//
// Templates, like every other resource, come from ui::CurrentModule(). Dialogs are ANSI windows,
// so edit limits count bytes of the ANSI code page.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/data_exchange.h"

namespace marupo::ui {

class Dialog {
  public:
    // A dialog made from template `templateId` of the current module.
    explicit Dialog(UINT templateId);
    // A dialog made from an in-memory template, which must outlive the dialog's creation.
    explicit Dialog(const DLGTEMPLATE* memoryTemplate);
    virtual ~Dialog();  // destroys a page that is still open
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally in its own modal loop and returns the value passed to EndDialog
    // (IDOK, IDCANCEL, ...), or -1 when the dialog could not be created. Without `owner` the
    // owner is the calling thread's active window, else the thread's and then the process's main
    // window; that window (and its top-level window) is disabled while the dialog runs, and a
    // dialog whose initialisation leaves it where the template put it is centred on its owner.
    // An exception that escapes a handler of this dialog, of a page inside it or of one of their
    // subclassed controls ends the run and is thrown again from here.
    INT_PTR DoModal(HWND owner = nullptr);

    // Creates the dialog as a modeless child page of `parent` (its template should have WS_CHILD,
    // usually DS_CONTROL, and no WS_VISIBLE). Returns false when creation failed; an exception
    // from the page's initialisation destroys the page and is thrown again from here.
    bool Create(HWND parent);
    // Shows or hides a page (or any dialog window) without moving the focus.
    void Show(bool visible);

    HWND Handle() const { return window_; }
    HWND Item(int id) const { return GetDlgItem(window_, id); }

    // Runs one data-exchange pass over ExchangeData. Returns false when a field was refused (the
    // message has been shown; later fields are untouched) or when the window does not exist.
    bool UpdateData(bool fromControls);

    // Ends a modal run with `result`; for a page it does nothing.
    void EndDialog(INT_PTR result);

    void SetCaption(const std::string& text);

  protected:
    // The dialog's fields in their fixed order. The default has none.
    virtual void ExchangeData(DataExchange& dx);

    // WM_INITDIALOG. The default runs UpdateData(false) and returns true (the system then puts
    // the focus on the first tab stop); return false after setting the focus yourself.
    virtual bool OnInitDialog();
    // IDOK without a registered handler: UpdateData(true), then EndDialog(IDOK) only if no field
    // was refused.
    virtual void OnOK();
    // IDCANCEL (Cancel button, Esc, close box) without a registered handler: EndDialog(IDCANCEL);
    // a page passes it on to the dialog it sits in.
    virtual void OnCancel();
    // Messages not in the handler map. Return true with `result` set to handle one; false leaves
    // it to the default dialog handling.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // What the dialog manager does with a message this dialog leaves alone, for a handler that
    // builds on it (the default brush of a control-colour message, the default set-cursor). The
    // dialog manager passes such messages on to the default window procedure, which this calls
    // directly: going through the dialog manager would come back into this dialog.
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

    // Handler registration. For WM_COMMAND the first entry matching the id and notification code
    // is called; menu items and accelerators arrive with codes 0 and 1.
    template <class D>
    void OnCommand(int id, WORD code, void (D::*method)()) {
        AddCommand(id, id, code, [this, method](int) { (static_cast<D*>(this)->*method)(); });
    }
    template <class D>
    void OnCommandRange(int firstId, int lastId, WORD code, void (D::*method)(int id)) {
        AddCommand(firstId, lastId, code,
                   [this, method](int id) { (static_cast<D*>(this)->*method)(id); });
    }
    // WM_NOTIFY from control `id` with notification `code`; the result goes back to the sender.
    template <class D>
    void OnNotify(int id, UINT code, LRESULT (D::*method)(NMHDR* header)) {
        AddNotify(id, code,
                  [this, method](NMHDR* h) { return (static_cast<D*>(this)->*method)(h); });
    }
    // Any other message, for example a private WM_USER + n message from a control.
    template <class D>
    void OnMessage(UINT message, LRESULT (D::*method)(WPARAM wParam, LPARAM lParam)) {
        AddMessage(message, [this, method](WPARAM w, LPARAM l) {
            return (static_cast<D*>(this)->*method)(w, l);
        });
    }

    // The same registrations with plain callables.
    void AddCommand(int firstId, int lastId, WORD code, std::function<void(int id)> handler);
    void AddNotify(int id, UINT code, std::function<LRESULT(NMHDR*)> handler);
    void AddMessage(UINT message, std::function<LRESULT(WPARAM, LPARAM)> handler);

  private:
    struct CommandEntry {
        int firstId;
        int lastId;
        WORD code;
        std::function<void(int)> handler;
    };
    struct NotifyEntry {
        int id;
        UINT code;
        std::function<LRESULT(NMHDR*)> handler;
    };
    struct MessageEntry {
        UINT message;
        std::function<LRESULT(WPARAM, LPARAM)> handler;
    };

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    bool DispatchCommand(int id, WORD code);
    INT_PTR InitDialog();
    void EnableDisabledTop();

    UINT templateId_ = 0;
    const DLGTEMPLATE* memoryTemplate_ = nullptr;
    HWND window_ = nullptr;
    bool modal_ = false;
    HWND disabledTop_ = nullptr;  // re-enabled when the modal run ends
    std::vector<CommandEntry> commands_;
    std::vector<NotifyEntry> notifies_;
    std::vector<MessageEntry> messages_;
};

// Centres `window` on `on` (its owner when null); when that window is hidden or minimised, on
// the work area of the monitor instead. The result is kept inside that work area.
void CenterWindow(HWND window, HWND on = nullptr);

// The owner of a modal dialog created without one: the thread's active window, else the thread's
// main window, else the process's, lifted out of child windows. Null when there is none.
HWND DefaultOwner();

}  // namespace marupo::ui
