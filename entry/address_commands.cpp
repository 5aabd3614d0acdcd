#include "entry/address_commands.h"

#include <wrl/client.h>

#include <new>
#include <string>

#include "editor/address_editor_dialog.h"
#include "entry/address_record_transfer.h"
#include "entry/host_categories.h"
#include "entry/host_text.h"
#include "host/host_call.h"
#include "res/strings.h"
#include "ui/message_box.h"
#include "ui/module_state.h"

namespace marupo {
namespace {

using Microsoft::WRL::ComPtr;

constexpr char kAllCategories[] = "All";  // the host's name of its all-categories view
constexpr char kUnfiledCategory[] = "\x96\xa2\x95\xaa\x97\xde";  // 未分類
constexpr long kPrivateRecordsShown = 3;                         // the host's private display mode
constexpr long kPrivate = 1;

// One run of a command: the entry with the editor around it, and the host's address book with
// the context read from it before the editor opens.
class AddressCommandRun {
  public:
    // Reaches the address book.
    explicit AddressCommandRun(IDispatch* hostUnknown);

    // The first selected record through the editor and back; a new record when none is selected.
    void EditSelectedRecord();
    // A new record through the editor, created in the host on OK.
    void CreateRecord();

  private:
    // The view's category, the custom-field captions and the category list.
    void ReadViewContext();
    void CreateRecordInView();

    AddressEntry entry_;
    editor::AddressEditorDialog editor_{entry_};
    ComPtr<IDesktopApplication> application_;
    ComPtr<IAddressBook> book_;
};

AddressCommandRun::AddressCommandRun(IDispatch* hostUnknown) {
    application_ = RequireHost<IDesktopApplication>(hostUnknown);
    book_ = RequireHost<IAddressBook>(HostGet(application_, &IDesktopApplication::GetAddressBook));
}

void AddressCommandRun::ReadViewContext() {
    ReadHostText(entry_, HostTextField::kViewCategory,
                 HostGet(book_, &IAddressBook::GetCurrentCategory).Get());
    for (int i = 0; i < kCustomFieldCount; ++i) {
        UniqueBstr caption = HostGet(book_, &IAddressBook::GetCustomLabel, long{i});
        entry_.customLabels[static_cast<std::size_t>(i)] = AnsiFromHost(caption.Get()) + ":";
    }
    SetHostCategories(entry_, HostGet(book_, &IAddressBook::GetCategories).Get());
}

void AddressCommandRun::EditSelectedRecord() {
    // Only the edit command needs it, to refuse a private record the host hides.
    const long privateDisplayMode =
        HostGet(application_, &IDesktopApplication::GetPrivateDisplayMode);
    ReadViewContext();
    ComPtr<IAddressRecords> selection = HostGet(book_, &IAddressBook::GetSelection);
    if (HostGet(selection, &IAddressRecords::GetCount) <= 0) return CreateRecordInView();
    ComPtr<IAddressRecord> record = HostGet(selection, &IAddressRecords::GetItem, 0L);
    if (privateDisplayMode != kPrivateRecordsShown &&
        HostGet(record, &IAddressRecord::GetPrivate) == kPrivate) {
        ui::ShowMessage(ui::LoadWideString(IDS_PRIVATE_RECORD));
        return;
    }
    entry_.editsExisting = true;
    ReadAddressRecord(record.Get(), entry_);
    if (editor_.Run() != IDOK) return;
    WriteEditedRecord(record.Get(), entry_);
}

void AddressCommandRun::CreateRecord() {
    ReadViewContext();
    CreateRecordInView();
}

void AddressCommandRun::CreateRecordInView() {
    entry_.category =
        entry_.viewCategory == kAllCategories ? kUnfiledCategory : entry_.viewCategory;
    // A category taken over from the view is written back with the host's own text of it.
    entry_.hostTextOrigins.CopyOrigin(HostTextField::kViewCategory, HostTextField::kCategory);
    entry_.primarySlot = 0;
    if (editor_.Run() != IDOK) return;
    AddNewRecord(book_.Get(), entry_);
}

// Runs `body` on a fresh run and reports a failure to the user; see the header for the results.
// No exception leaves it.
template <class Body>
HRESULT RunAddressCommand(IDispatch* hostUnknown, Body body) noexcept {
    ui::AddinModuleScope scope;
    if (hostUnknown == nullptr) return E_POINTER;
    // The run, its editor and every host reference are gone before the message shows.
    std::wstring failure;
    bool outOfMemory = false;
    try {
        AddressCommandRun run(hostUnknown);
        body(run);
        return S_OK;
    } catch (HostError& error) {
        failure = error.TakeDescription();
        // A BSTR the add-in could not allocate fails as E_OUTOFMEMORY with no description.
        outOfMemory = failure.empty() && error.Result() == E_OUTOFMEMORY;
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    } catch (...) {
        // Any other failure of the add-in's own: it has no host description.
    }
    if (outOfMemory) {
        ui::ShowOutOfMemory();
    } else {
        ui::ShowMessage(failure);
    }
    return S_OK;
}

}  // namespace

HRESULT RunEditAddressCommand(IDispatch* hostUnknown) noexcept {
    return RunAddressCommand(hostUnknown, [](AddressCommandRun& run) { run.EditSelectedRecord(); });
}

HRESULT RunNewAddressCommand(IDispatch* hostUnknown) noexcept {
    return RunAddressCommand(hostUnknown, [](AddressCommandRun& run) { run.CreateRecord(); });
}

}  // namespace marupo
