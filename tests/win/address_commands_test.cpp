// The edit and new-address commands run on the stand-in host's objects, with the real editor
// driven through its windows: what they read and write and in which order, Cancel, the private
// refusal, the new-record path, and host failures with the one message box they end in.

#include <windows.h>

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "devhost/book_file.h"
#include "devhost/host_objects.h"
#include "entry/address_commands.h"
#include "tests/support/modal_driver.h"
#include "tests/win/editor_test_support.h"

namespace marupo {
namespace devhost {

// A record that differs prints as its book-file text.
void PrintTo(const Record& record, std::ostream* out) {
    Book book;
    book.Insert(record);
    *out << FormatBook(book);
}

}  // namespace devhost
namespace {

using devhost::Record;
using Microsoft::WRL::ComPtr;
using testing::ModalDriver;

using Command = HRESULT (*)(IDispatch*);
using Names = std::vector<std::string>;

struct Com {
    Com() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~Com() { CoUninitialize(); }
};

Names Join(std::initializer_list<Names> parts) {
    Names joined;
    for (const Names& part : parts) joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}
Names Repeat(const std::string& name, int times) {
    return Names(static_cast<std::size_t>(times), name);
}

// The host calls of each stage of a run, as the stand-in host logs them. Only the edit command
// reads the private display mode.
const Names kViewReads = Join({{"IAddressBook.GetCurrentCategory"},
                               Repeat("IAddressBook.GetCustomLabel", 4),
                               {"IAddressBook.GetCategories"}});
const Names kEditContextReads =
    Join({{"IDesktopApplication.GetAddressBook", "IDesktopApplication.GetPrivateDisplayMode"},
          kViewReads});
const Names kNewContextReads = Join({{"IDesktopApplication.GetAddressBook"}, kViewReads});
const Names kSelectionReads = {"IAddressBook.GetSelection", "IAddressRecords.GetCount"};
const Names kRecordReads = Join(
    {{"IAddressRecord.GetGivenName", "IAddressRecord.GetGivenNameReading",
      "IAddressRecord.GetSurname", "IAddressRecord.GetSurnameReading", "IAddressRecord.GetTitle",
      "IAddressRecord.GetCompany", "IAddressRecord.GetCompanyReading",
      "IAddressRecord.GetPostalCode", "IAddressRecord.GetPrefecture", "IAddressRecord.GetCity",
      "IAddressRecord.GetStreet", "IAddressRecord.GetCountry", "IAddressRecord.GetPrimarySlot"},
     Repeat("IAddressRecord.GetContact", 5),
     Repeat("IAddressRecord.GetCustomField", 4),
     {"IAddressRecord.GetNote", "IAddressRecord.GetCategoryName", "IAddressRecord.GetPrivate"}});
const Names kCategoryList =
    Join({{"ICategoryNames.GetCount"}, Repeat("ICategoryNames.GetItem", 5)});
const Names kWritesTail = Join({{"IAddressRecord.SetPrimarySlot"},
                                Repeat("IAddressRecord.SetContact", 5),
                                Repeat("IAddressRecord.SetCustomField", 4),
                                {"IAddressRecord.SetPrivate", "IAddressRecord.SetNote"}});
const Names kEditWrites =
    Join({{"IAddressRecord.SetCategoryName", "IAddressRecord.SetGivenName",
           "IAddressRecord.SetSurname", "IAddressRecord.SetTitle", "IAddressRecord.SetCompany",
           "IAddressRecord.SetPostalCode", "IAddressRecord.SetPrefecture", "IAddressRecord.SetCity",
           "IAddressRecord.SetStreet", "IAddressRecord.SetCountry"},
          kWritesTail});
const Names kNewWrites =
    Join({{"IAddressBook.AddRecord", "IAddressRecord.SetGivenNameReading",
           "IAddressRecord.SetSurnameReading", "IAddressRecord.SetTitle",
           "IAddressRecord.SetCompany", "IAddressRecord.SetCompanyReading",
           "IAddressRecord.SetPostalCode", "IAddressRecord.SetPrefecture", "IAddressRecord.SetCity",
           "IAddressRecord.SetStreet", "IAddressRecord.SetCountry"},
          kWritesTail});

constexpr wchar_t kPrivateRecordMessage[] =
    L"このアドレスはプライベート設定されています。\nDesktop の [表示] "
    L"メニューから、「プライベートデータの表示」に設定してください。";

class AddressCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ui::SetAddinModule(GetModuleHandleW(nullptr));
        registry_.SetPaths("C:\\KEN_ALL.CSV", "C:\\JIGYOSYO.CSV");
        FillBook();
        application_ = devhost::CreateApplication(state_);
    }

    // Three records, the view on all of them, nothing selected. Two categories read ??野家 in
    // Shift-JIS.
    void FillBook() {
        state_->book = devhost::Book();
        devhost::Book& book = state_->book;
        for (const char16_t* name : {u"仕事", u"友人", u"𠮷野家", u"𡈽野家"})
            book.AddCategory(name);
        book.SetCustomLabel(0, u"誕生日");
        book.SetCustomLabel(3, u"備考");

        Record& yamada = *book.Add(u"𡈽野家");
        yamada.surname = u"山田";
        yamada.surnameReading = u"やまだ";
        yamada.givenName = u"太郎";
        yamada.givenNameReading = u"たろう";
        yamada.company = u"丸保商事";
        yamada.companyReading = u"まるほしょうじ";
        yamada.title = u"課長";
        yamada.postalCode = u"1050011";
        yamada.prefecture = u"東京都";
        yamada.city = u"港区";
        yamada.street = u"芝公園4-2-8\r\n3階";
        yamada.country = u"日本";
        yamada.contacts = {{{7, u"090-1111-2222"},
                            {1, u"03-3333-4444"},
                            {2, {}},
                            {5, {}},
                            {4, u"taro@example.jp"}}};
        yamada.primarySlot = 4;
        yamada.customFields = {u"4月1日", {}, {}, u"𠮷と書く"};
        yamada.note = u"𠮷野家の常連\r\n二行目";

        Record& suzuki = *book.Add(u"友人");
        suzuki.surname = u"鈴木";
        suzuki.givenName = u"花子";
        suzuki.city = u"札幌市";
        suzuki.note = u"古いメモ";
        book.Add(u"仕事")->surname = u"佐藤";
    }

    // Runs `command` on the application object. `drive` gets the editor and must end it; without
    // one the editor must not open.
    HRESULT Run(Command command, std::function<void(HWND)> drive = {}) {
        if (drive) {
            driver_.OnNextDialog([this, drive](HWND frame) {
                editorOpened_ = true;
                drive(frame);
            });
        }
        editorOpened_ = false;
        before_ = Snapshot();
        state_->log.Clear();
        const long stateUsers = state_.use_count();
        const ULONG applicationRefs = References(application_.Get());
        const HRESULT hr = command(application_.Get());
        ui::PumpUntilQuiet();
        EXPECT_EQ(driver_.UnhandledDialogs(), 0);
        // Every host object holds the state: one the run kept alive would show here.
        EXPECT_EQ(state_.use_count(), stateUsers);
        EXPECT_EQ(References(application_.Get()), applicationRefs);
        return hr;
    }

    static ULONG References(IUnknown* object) {
        object->AddRef();
        return object->Release();
    }

    std::vector<Record> Snapshot() const {
        std::vector<Record> records;
        for (const auto& record : state_->book.Records()) records.push_back(*record);
        return records;
    }
    const Record& Now(int id) const { return *state_->book.Find(id); }

    // The logged calls from the first call of `method` on.
    Names CallsFrom(const std::string& method) const {
        const Names all = state_->log.MethodNames();
        auto first = std::find(all.begin(), all.end(), method);
        return Names(first, all.end());
    }
    bool Wrote() const {
        for (const std::string& name : state_->log.MethodNames()) {
            if (name.find(".Set") != std::string::npos || name == "IAddressBook.AddRecord")
                return true;
        }
        return false;
    }

    void Select(std::u16string view, const std::vector<int>& ids) {
        state_->book.SetViewCategory(std::move(view));
        ASSERT_TRUE(state_->book.SetSelection(ids));
    }

    Com com_;
    testing::SettingsInRegistry registry_;
    std::shared_ptr<devhost::HostState> state_ = std::make_shared<devhost::HostState>();
    ComPtr<IDesktopApplication> application_;
    ModalDriver driver_;
    bool editorOpened_ = false;
    std::vector<Record> before_;
};

std::wstring SelectedCategory(HWND frame) {
    HWND combo = GetDlgItem(frame, IDC_EDITOR_CATEGORY);
    const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    return selected < 0
               ? L"<none>"
               : devhost::ModalWatch::ListItems(combo).at(static_cast<std::size_t>(selected));
}
void PickCategory(HWND frame, const std::wstring& name) {
    HWND combo = GetDlgItem(frame, IDC_EDITOR_CATEGORY);
    const LRESULT index =
        SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(name.c_str()));
    ASSERT_GE(index, 0);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// Types into the address page's edits, as (control id, text).
void TypeOnAddressPage(HWND frame, std::initializer_list<std::pair<int, const wchar_t*>> texts) {
    HWND page = testing::AddressPageOf(frame);
    for (const auto& [id, text] : texts) ModalDriver::SetControlText(page, id, text);
}
void TypeNote(HWND frame, const wchar_t* text) {
    ModalDriver::SetControlText(testing::NotePageOf(frame), IDC_NOTE_TEXT, text);
}

TEST_F(AddressCommandsTest, EditReadsTheFirstSelectedAndWritesEveryFieldButTheReadingsBack) {
    Select(u"All", {1, 2, 3});
    std::wstring title, surname, reading, customLabel, note, category;
    bool readingEnabled = true;
    ASSERT_EQ(Run(RunEditAddressCommand,
                  [&](HWND frame) {
                      HWND address = testing::AddressPageOf(frame);
                      title = ModalDriver::Text(frame);
                      surname = ModalDriver::ControlText(address, IDC_ADDR_SURNAME);
                      reading = ModalDriver::ControlText(address, IDC_ADDR_SURNAME_READING);
                      readingEnabled =
                          IsWindowEnabled(GetDlgItem(address, IDC_ADDR_SURNAME_READING)) != FALSE;
                      customLabel = ModalDriver::ControlText(address, IDC_ADDR_CUSTOM_LABEL0);
                      note = ModalDriver::ControlText(testing::NotePageOf(frame), IDC_NOTE_TEXT);
                      category = SelectedCategory(frame);
                      ModalDriver::Click(frame, IDOK);
                  }),
              S_OK);
    EXPECT_EQ(title, L"Marupo 編集");
    EXPECT_EQ(surname, L"山田");
    EXPECT_EQ(reading, L"やまだ");
    EXPECT_FALSE(readingEnabled);
    EXPECT_EQ(customLabel, L"誕生日:");
    EXPECT_EQ(note, L"??野家の常連\r\n二行目");  // Shift-JIS cannot show 𠮷 (two code units)
    EXPECT_EQ(category, L"??野家");  // the record's own, not the first item that reads so

    EXPECT_EQ(state_->log.MethodNames(), Join({kEditContextReads,
                                               kSelectionReads,
                                               {"IAddressRecords.GetItem"},
                                               kRecordReads,
                                               kCategoryList,
                                               kEditWrites}));
    for (const auto& call : state_->log.Entries()) {
        if (call.interfaceName == "IAddressRecord") {
            EXPECT_EQ(call.recordId, 1) << call.Line();
        }
    }
    // Written again unchanged; what the code page could not show came back as the host had it.
    EXPECT_EQ(Snapshot(), before_);
    EXPECT_TRUE(driver_.MessageBoxes().empty());
}

TEST_F(AddressCommandsTest, EditStoresWhatTheUserChangedButNeverTheReadings) {
    Select(u"All", {2, 1});
    ASSERT_EQ(Run(RunEditAddressCommand,
                  [](HWND frame) {
                      TypeOnAddressPage(frame, {{IDC_ADDR_CITY, L"横浜市"},
                                                {IDC_ADDR_SURNAME_READING, L"すずき"},
                                                {IDC_ADDR_CONTACT_TEXT2, L"011-555"},
                                                {IDC_ADDR_CUSTOM_FIELD3, L"𠮷"}});
                      ModalDriver::Click(testing::AddressPageOf(frame), IDC_ADDR_PRIMARY_RADIO2);
                      TypeNote(frame, L"新しいメモ");
                      ModalDriver::Click(frame, IDC_EDITOR_PRIVATE);
                      PickCategory(frame, L"仕事");
                      ModalDriver::Click(frame, IDOK);
                  }),
              S_OK);
    std::vector<Record> records = before_;
    Record& expected = records[1];
    expected.city = u"横浜市";
    expected.contacts[2].text = u"011-555";
    expected.customFields[3] = u"??";  // typed anew: the editor's own text
    expected.primarySlot = 2;
    expected.note = u"新しいメモ";
    expected.privateFlag = 1;
    expected.category = u"仕事";
    EXPECT_EQ(Snapshot(), records);
}

TEST_F(AddressCommandsTest, CancelWritesAndCreatesNothing) {
    const struct {
        const char* name;
        Command command;
        std::vector<int> selection;
    } cases[] = {
        {"edit", RunEditAddressCommand, {2}},
        {"edit, nothing selected", RunEditAddressCommand, {}},
        {"new", RunNewAddressCommand, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Select(u"All", c.selection);
        EXPECT_EQ(Run(c.command,
                      [](HWND frame) {
                          TypeOnAddressPage(frame, {{IDC_ADDR_SURNAME, L"変更"}});
                          ModalDriver::Click(frame, IDCANCEL);
                      }),
                  S_OK);
        EXPECT_TRUE(editorOpened_);
        EXPECT_FALSE(Wrote()) << state_->log.Text();
    }
}

TEST_F(AddressCommandsTest, PrivateRecordOpensOnlyWhileTheHostShowsPrivateRecords) {
    const struct {
        long mode;
        long stored;
        bool refused;
    } cases[] = {{1, 1, true}, {0, 1, true}, {3, 1, false}, {1, 0, false}, {1, 2, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << c.mode << ", private " << c.stored);
        driver_.Clear();
        Select(u"All", {2});
        state_->book.SetPrivateDisplayMode(c.mode);
        state_->book.Find(2)->privateFlag = c.stored;
        bool checked = false;
        std::function<void(HWND)> drive;
        if (!c.refused) {
            drive = [&](HWND frame) {
                checked = IsDlgButtonChecked(frame, IDC_EDITOR_PRIVATE) == BST_CHECKED;
                ModalDriver::Click(frame, IDCANCEL);
            };
        }
        EXPECT_EQ(Run(RunEditAddressCommand, drive), S_OK);
        EXPECT_EQ(editorOpened_, !c.refused);
        EXPECT_EQ(checked, !c.refused && c.stored == 1);
        if (c.refused) {
            ASSERT_EQ(driver_.MessageBoxes().size(), 1u);
            EXPECT_EQ(driver_.MessageBoxes()[0].text, kPrivateRecordMessage);
            EXPECT_TRUE(driver_.MessageBoxes()[0].exclamationIcon);
            EXPECT_EQ(state_->log.MethodNames().back(), "IAddressRecord.GetPrivate");
        } else {
            EXPECT_TRUE(driver_.MessageBoxes().empty());
        }
    }
}

TEST_F(AddressCommandsTest, NewRecordLandsInThePresetOrPickedCategoryWithItsReadings) {
    const struct {
        const char* name;
        Command command;
        std::u16string view;
        std::vector<int> selection;
        std::wstring preselected;
        std::wstring picked;  // empty: keep the preselection
        std::u16string stored;
    } cases[] = {
        {"edit with nothing selected, all categories",
         RunEditAddressCommand,
         u"All",
         {},
         L"未分類",
         L"",
         u"未分類"},
        {"new ignores the selection", RunNewAddressCommand, u"仕事", {1}, L"仕事", L"", u"仕事"},
        {"picked in the editor", RunNewAddressCommand, u"仕事", {}, L"仕事", L"友人", u"友人"},
        {"view beyond Shift-JIS", RunNewAddressCommand, u"𠮷野家", {}, L"??野家", L"", u"𠮷野家"},
        {"picked beyond Shift-JIS",
         RunNewAddressCommand,
         u"仕事",
         {},
         L"仕事",
         L"??野家",
         u"𠮷野家"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Select(c.view, c.selection);
        std::wstring title, preselected;
        EXPECT_EQ(Run(c.command,
                      [&](HWND frame) {
                          title = ModalDriver::Text(frame);
                          preselected = SelectedCategory(frame);
                          TypeOnAddressPage(frame, {{IDC_ADDR_SURNAME, L"新井"},
                                                    {IDC_ADDR_SURNAME_READING, L"あらい"},
                                                    {IDC_ADDR_GIVEN_NAME_READING, L"いち"},
                                                    {IDC_ADDR_COMPANY_READING, L"まる"},
                                                    {IDC_ADDR_CONTACT_TEXT4, L"a@b.jp"}});
                          if (!c.picked.empty()) PickCategory(frame, c.picked);
                          ModalDriver::Click(frame, IDOK);
                      }),
                  S_OK);
        EXPECT_EQ(title, L"Marupo 新規アドレス");
        EXPECT_EQ(preselected, c.preselected);

        const bool edit = c.command == RunEditAddressCommand;
        EXPECT_EQ(state_->log.MethodNames(),
                  Join({edit ? kEditContextReads : kNewContextReads,
                        edit ? kSelectionReads : Names{}, kCategoryList, kNewWrites}));
        ASSERT_EQ(state_->book.Records().size(), before_.size() + 1);
        Record expected;
        expected.id = static_cast<int>(before_.size()) + 1;
        expected.category = c.stored;
        expected.surname = u"新井";
        expected.surnameReading = u"あらい";
        expected.givenNameReading = u"いち";
        expected.companyReading = u"まる";
        expected.contacts[4].text = u"a@b.jp";
        EXPECT_EQ(*state_->book.Records().back(), expected);
        EXPECT_EQ(state_->log.Entries().back().recordId, expected.id);
        FillBook();
    }
}

TEST_F(AddressCommandsTest, HostFailureEndsTheRunWithOneBoxAndKeepsWhatWasWritten) {
    using Records = std::vector<Record>;
    struct Case {
        const char* name;
        Command command;
        std::function<void(devhost::HostState&)> inject;
        bool editorOpens;
        std::wstring message;
        std::function<void(Records&)> written;
    };
    // Written up to the failing SetCity: the names and title went before it, the note would
    // come after.
    const auto failAtCity = [](devhost::HostState& s) {
        s.faults.FailNth(1, "SetCity", E_ACCESSDENIED, u"書き込みが拒否されました");
    };
    const auto titleWritten = [](Records& records) {
        records[1].surname = u"新井";
        records[1].title = u"部長";
    };
    const Case cases[] = {
        {"setter in the middle of the write-back", RunEditAddressCommand, failAtCity, true,
         L"書き込みが拒否されました", titleWritten},
        {"the same without error information", RunEditAddressCommand,
         [&](devhost::HostState& s) {
             s.errorInfoSupported = false;
             failAtCity(s);
         },
         true, L"", titleWritten},
        {"setter of a new record", RunNewAddressCommand, failAtCity, true,
         L"書き込みが拒否されました",
         [](Records& records) {
             Record& created = records.emplace_back();
             created.id = 4;
             created.category = u"未分類";
             created.surname = u"新井";
             created.title = u"部長";
         }},
        {"the view's category", RunEditAddressCommand,
         [](devhost::HostState& s) {
             s.faults.FailEvery("GetCurrentCategory", E_FAIL, u"ビューがありません");
         },
         false, L"ビューがありません", nullptr},
        {"null address book", RunNewAddressCommand,
         [](devhost::HostState& s) { s.faults.NullEvery("GetAddressBook"); }, false, L"", nullptr},
        {"null selected record", RunEditAddressCommand,
         [](devhost::HostState& s) { s.faults.NullEvery("IAddressRecords.GetItem"); }, false, L"",
         nullptr},
        {"a read of the record", RunEditAddressCommand,
         [](devhost::HostState& s) { s.faults.FailNth(3, "GetContact", E_FAIL, u"読めません"); },
         false, L"読めません", nullptr},
        {"category list inside the editor", RunEditAddressCommand,
         [](devhost::HostState& s) {
             s.faults.FailEvery("ICategoryNames.GetCount", E_UNEXPECTED, u"カテゴリがありません");
         },
         false, L"カテゴリがありません", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FillBook();
        driver_.Clear();
        Select(u"All", {2});
        c.inject(*state_);
        std::function<void(HWND)> drive;
        if (c.editorOpens) {
            drive = [](HWND frame) {
                TypeOnAddressPage(frame, {{IDC_ADDR_SURNAME, L"新井"},
                                          {IDC_ADDR_TITLE, L"部長"},
                                          {IDC_ADDR_CITY, L"小樽市"}});
                TypeNote(frame, L"後");
                ModalDriver::Click(frame, IDOK);
            };
        }
        EXPECT_EQ(Run(c.command, drive), S_OK);
        EXPECT_EQ(driver_.MessageTexts(), std::vector<std::wstring>{c.message});
        Records expected = before_;
        if (c.written) c.written(expected);
        EXPECT_EQ(Snapshot(), expected);
        state_->faults.Clear();
        state_->errorInfoSupported = true;
    }
}

TEST_F(AddressCommandsTest, PrimarySlotTheEditorCannotShowStaysAsTheHostHasIt) {
    Select(u"All", {2});
    state_->book.Find(2)->primarySlot = 7;
    ASSERT_EQ(Run(RunEditAddressCommand,
                  [](HWND frame) {
                      TypeNote(frame, L"新しいメモ");
                      ModalDriver::Click(frame, IDOK);
                  }),
              S_OK);
    const Names calls = state_->log.MethodNames();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "IAddressRecord.SetPrimarySlot"), 0);
    EXPECT_EQ(Now(2).primarySlot, 7);
    EXPECT_EQ(Now(2).note, u"新しいメモ");
    EXPECT_TRUE(driver_.MessageBoxes().empty());
}

TEST_F(AddressCommandsTest, NoHostPointerRunsNothingAndAnObjectThatIsNoApplicationFails) {
    ComPtr<IAddressBook> notAnApplication = devhost::CreateAddressBook(state_);
    for (Command command : {RunEditAddressCommand, RunNewAddressCommand}) {
        driver_.Clear();
        state_->log.Clear();
        EXPECT_EQ(command(nullptr), E_POINTER);
        EXPECT_TRUE(driver_.MessageBoxes().empty());

        EXPECT_EQ(command(notAnApplication.Get()), S_OK);
        ui::PumpUntilQuiet();
        EXPECT_EQ(driver_.MessageTexts(), std::vector<std::wstring>{L""});
        EXPECT_TRUE(state_->log.Entries().empty());
    }
}

}  // namespace
}  // namespace marupo
