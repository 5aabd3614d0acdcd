// Reading capture on the address page, driven through the real edits: a commit from the input
// method (WM_IME_COMPOSITION with the result-reading flag) reaches the name edit, the reading the
// input method reports is fed by the test, and everything from there runs for real.

#include <windows.h>

#include <gtest/gtest.h>
#include <imm.h>

#include "editor/reading_capture_edit.h"
#include "res/address_page.h"
#include "tests/win/address_page_test_frame.h"

namespace marupo {
namespace {

using testing::PageFrame;
using testing::Sjis;

constexpr LPARAM kCommit = GCS_RESULTREADSTR | GCS_RESULTSTR;

// Watches the edits' own procedure: it is installed under the page's subclass as the windows are
// created, so it sees a composition message only when the page passes it on to the default
// handling, and it notes what the reading fields held at that moment.
class DefaultHandlingProbe {
  public:
    struct Arrival {
        int editId;
        std::wstring surnameReading, givenNameReading, companyReading;
        std::size_t readingRequests;
    };

    explicit DefaultHandlingProbe(const testing::FedReadingSource& source) : source_(source) {
        current_ = this;
        hook_ = SetWindowsHookExW(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
    }
    ~DefaultHandlingProbe() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    DefaultHandlingProbe(const DefaultHandlingProbe&) = delete;
    DefaultHandlingProbe& operator=(const DefaultHandlingProbe&) = delete;

    const std::vector<Arrival>& Arrivals() const { return arrivals_; }

  private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND && current_ != nullptr) {
            auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
            auto id = static_cast<int>(reinterpret_cast<INT_PTR>(create->hMenu));
            auto window = reinterpret_cast<HWND>(wParam);
            wchar_t className[16] = {};
            GetClassNameW(window, className, 16);
            if (_wcsicmp(className, L"Edit") == 0 &&
                (id == IDC_ADDR_SURNAME || id == IDC_ADDR_GIVEN_NAME || id == IDC_ADDR_COMPANY)) {
                auto previous =
                    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc));
                SetPropW(window, L"ProbePrevious", reinterpret_cast<HANDLE>(previous));
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
        auto previous = reinterpret_cast<WNDPROC>(GetPropW(edit, L"ProbePrevious"));
        if (message == WM_IME_COMPOSITION && current_ != nullptr) {
            HWND page = GetParent(edit);
            auto text = [page](int id) {
                wchar_t buffer[512] = {};
                GetDlgItemTextW(page, id, buffer, 512);
                return std::wstring(buffer);
            };
            current_->arrivals_.push_back({GetDlgCtrlID(edit), text(IDC_ADDR_SURNAME_READING),
                                           text(IDC_ADDR_GIVEN_NAME_READING),
                                           text(IDC_ADDR_COMPANY_READING),
                                           current_->source_.Asked().size()});
        }
        if (message == WM_NCDESTROY) RemovePropW(edit, L"ProbePrevious");
        return CallWindowProcW(previous, edit, message, wParam, lParam);
    }

    static inline DefaultHandlingProbe* current_ = nullptr;
    const testing::FedReadingSource& source_;
    HHOOK hook_ = nullptr;
    std::vector<Arrival> arrivals_;
};

class AddressPageReadingTest : public ::testing::Test {
  protected:
    void Open(bool readingLocked = false) {
        frame_.page.readingLocked = readingLocked;
        ASSERT_TRUE(frame_.Open());
    }
    // The input method commits a conversion in edit `id`, reporting `reading`.
    void Commit(int id, const std::wstring& reading, LPARAM flags = kCommit) {
        frame_.readings.Feed(Sjis(reading));
        SendMessageW(frame_.Item(id), WM_IME_COMPOSITION, 0, flags);
        testing::PumpMessages();
    }

    PageFrame frame_;
    DefaultHandlingProbe probe_{frame_.readings};
};

TEST_F(AddressPageReadingTest, SurnameCommittedInPiecesGrowsItsReadingBeforeTheTextArrives) {
    Open();
    Commit(IDC_ADDR_SURNAME, L"ﾔﾏ");  // 山
    EXPECT_EQ(frame_.Text(IDC_ADDR_SURNAME_READING), L"やま");
    Commit(IDC_ADDR_SURNAME, L"ﾀﾞ");  // 田
    EXPECT_EQ(frame_.Text(IDC_ADDR_SURNAME_READING), L"やまだ");

    ASSERT_EQ(frame_.readings.Asked().size(), 2u);
    EXPECT_EQ(frame_.readings.Asked()[0], frame_.Item(IDC_ADDR_SURNAME));
    // The default handling got each commit after the page had appended its reading.
    ASSERT_EQ(probe_.Arrivals().size(), 2u);
    EXPECT_EQ(probe_.Arrivals()[0].editId, IDC_ADDR_SURNAME);
    EXPECT_EQ(probe_.Arrivals()[0].readingRequests, 1u);
    EXPECT_EQ(probe_.Arrivals()[0].surnameReading, L"やま");
    EXPECT_EQ(probe_.Arrivals()[1].readingRequests, 2u);
    EXPECT_EQ(probe_.Arrivals()[1].surnameReading, L"やまだ");

    ASSERT_TRUE(frame_.page.UpdateData(true));
    EXPECT_EQ(frame_.page.entry.surnameReading, Sjis(L"やまだ"));
}

struct ReadingCase {
    int editId;
    int readingId;
    const wchar_t* reported;  // as the input method gives it
    const wchar_t* stored;    // as the reading field gets it
};

TEST_F(AddressPageReadingTest, ReadingsArriveAsFullWidthHiraganaInTheMatchingField) {
    const ReadingCase cases[] = {
        {IDC_ADDR_SURNAME, IDC_ADDR_SURNAME_READING, L"ﾔﾏﾀﾞ", L"やまだ"},
        {IDC_ADDR_SURNAME, IDC_ADDR_SURNAME_READING, L"ヤマダ", L"やまだ"},
        {IDC_ADDR_GIVEN_NAME, IDC_ADDR_GIVEN_NAME_READING, L"ﾊﾟﾝﾀﾞ", L"ぱんだ"},
        {IDC_ADDR_GIVEN_NAME, IDC_ADDR_GIVEN_NAME_READING, L"はなこ", L"はなこ"},
        {IDC_ADDR_COMPANY, IDC_ADDR_COMPANY_READING, L"ABC", L"ＡＢＣ"},
        {IDC_ADDR_COMPANY, IDC_ADDR_COMPANY_READING, L"ｶﾌﾞｼｷｶﾞｲｼｬNTT-2",
         L"かぶしきがいしゃＮＴＴ－２"},
    };
    Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "edit " << c.editId);
        frame_.SetText(c.readingId, L"");
        Commit(c.editId, c.reported);
        EXPECT_EQ(frame_.Text(c.readingId), c.stored);
    }
    // Each reading went only to its own field.
    EXPECT_EQ(frame_.Text(IDC_ADDR_SURNAME_READING), L"やまだ");
    EXPECT_EQ(frame_.Text(IDC_ADDR_GIVEN_NAME_READING), L"はなこ");
}

TEST_F(AddressPageReadingTest, RetypingANameAppendsItsReadingAgain) {
    Open();
    frame_.SetText(IDC_ADDR_SURNAME, L"山田");
    Commit(IDC_ADDR_SURNAME, L"やまだ");
    frame_.SetText(IDC_ADDR_SURNAME, L"");
    Commit(IDC_ADDR_SURNAME, L"ヤマダ");
    EXPECT_EQ(frame_.Text(IDC_ADDR_SURNAME_READING), L"やまだやまだ");
}

TEST_F(AddressPageReadingTest, ReadingIsAddedToWhatTheUserTypedInTheReadingField) {
    Open();
    frame_.SetText(IDC_ADDR_COMPANY_READING, L"かぶしきがいしゃ");
    frame_.SetText(IDC_ADDR_TITLE, L"部長");
    Commit(IDC_ADDR_COMPANY, L"ﾏﾙﾎﾟ");
    EXPECT_EQ(frame_.Text(IDC_ADDR_COMPANY_READING), L"かぶしきがいしゃまるぽ");
    EXPECT_EQ(frame_.Text(IDC_ADDR_TITLE), L"部長");
}

TEST_F(AddressPageReadingTest, UnchangedControlsKeepTheirSelection) {
    Open();
    frame_.SetText(IDC_ADDR_TITLE, L"営業部長");
    SendMessageW(frame_.Item(IDC_ADDR_TITLE), EM_SETSEL, 1, 3);
    Commit(IDC_ADDR_SURNAME, L"ﾔﾏﾀﾞ");
    DWORD start = 0, end = 0;
    SendMessageW(frame_.Item(IDC_ADDR_TITLE), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 3u);
}

TEST_F(AddressPageReadingTest, CompositionWithoutResultReadingCapturesNothing) {
    Open();
    const LPARAM withoutReading[] = {GCS_RESULTSTR, GCS_COMPSTR | GCS_COMPREADSTR, 0};
    for (LPARAM flags : withoutReading) {
        SendMessageW(frame_.Item(IDC_ADDR_SURNAME), WM_IME_COMPOSITION, 0, flags);
    }
    testing::PumpMessages();
    EXPECT_TRUE(frame_.readings.Asked().empty());
    EXPECT_EQ(frame_.Text(IDC_ADDR_SURNAME_READING), L"");
    EXPECT_EQ(probe_.Arrivals().size(), std::size(withoutReading));  // all passed on
}

TEST_F(AddressPageReadingTest, EmptyReadingAppendsNothing) {
    Open();
    frame_.SetText(IDC_ADDR_SURNAME_READING, L"やま");
    Commit(IDC_ADDR_SURNAME, L"");
    EXPECT_EQ(frame_.readings.Asked().size(), 1u);
    EXPECT_EQ(frame_.Text(IDC_ADDR_SURNAME_READING), L"やま");
}

TEST_F(AddressPageReadingTest, LockedReadingsAreDisabledAndCaptureNothing) {
    frame_.page.entry.surnameReading = Sjis(L"やまだ");
    Open(/*readingLocked=*/true);
    for (int id :
         {IDC_ADDR_SURNAME_READING, IDC_ADDR_GIVEN_NAME_READING, IDC_ADDR_COMPANY_READING}) {
        EXPECT_FALSE(IsWindowEnabled(frame_.Item(id))) << id;
    }
    for (int id : {IDC_ADDR_SURNAME, IDC_ADDR_GIVEN_NAME, IDC_ADDR_COMPANY, IDC_ADDR_TITLE}) {
        EXPECT_TRUE(IsWindowEnabled(frame_.Item(id))) << id;
    }
    Commit(IDC_ADDR_SURNAME, L"ﾀﾛｳ");
    Commit(IDC_ADDR_GIVEN_NAME, L"ﾀﾛｳ");
    Commit(IDC_ADDR_COMPANY, L"ﾀﾛｳ");
    EXPECT_TRUE(frame_.readings.Asked().empty());
    EXPECT_EQ(frame_.Text(IDC_ADDR_SURNAME_READING), L"やまだ");
    EXPECT_EQ(frame_.Text(IDC_ADDR_GIVEN_NAME_READING), L"");
    EXPECT_EQ(frame_.Text(IDC_ADDR_COMPANY_READING), L"");
    EXPECT_EQ(probe_.Arrivals().size(), 3u);  // the commits still reach the edits
}

TEST_F(AddressPageReadingTest, LockedPageIgnoresACaptureNotice) {
    Open(/*readingLocked=*/true);
    SendMessageW(frame_.page.Handle(), editor::WM_READING_CAPTURED, 1, 0);
    EXPECT_EQ(frame_.Text(IDC_ADDR_SURNAME_READING), L"");
}

TEST(ReadingMappingTest, KeepsAtMost256BytesOfWholeCharacters) {
    ui::SetAddinModule(GetModuleHandleW(nullptr));
    // 130 half-width katakana become 130 double-byte hiragana: 260 bytes, cut to 256.
    std::string reading(130, '\xB1');  // ｱ
    std::string mapped = editor::MapReading(reading);
    EXPECT_EQ(mapped.size(), 256u);
    EXPECT_EQ(ui::AnsiToWide(mapped), std::wstring(128, L'あ'));
    // An odd cut must not leave half a character behind.
    std::string mixed = "A" + std::string(130, '\xB1');
    std::string mappedMixed = editor::MapReading(mixed);
    EXPECT_EQ(mappedMixed.size(), 256u);
    EXPECT_EQ(ui::AnsiToWide(mappedMixed), L"Ａ" + std::wstring(127, L'あ'));
}

}  // namespace
}  // namespace marupo
