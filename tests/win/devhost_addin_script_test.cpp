// The add-in run by scripts in the stand-in host. A script that goes wrong stops with a message
// naming its line. And the add-in under every host failure it can meet: one full edit run and
// one full creation run
// (editor closed with OK after a conversion) are recorded in the stand-in host, then rerun with
// each of their host calls failing in turn, with and without error information, and with each
// text getter handing back a null string. Every run must end as the user expects: one message
// box with the host's description, OnCommand S_OK, no host object left held, and the book as
// the calls before the failing one left it.

#include <windows.h>

#include <gtest/gtest.h>
#include <objbase.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tests/support/addin_dll.h"
#include "tests/win/addin_script_run.h"
#include "tests/win/editor_test_support.h"

namespace marupo {
namespace {

using devhost::LoggedCall;
using testing::Ended;
using testing::kCommandScenarios;
using testing::Outcome;
using testing::RunScenario;
using testing::Scenario;
using testing::Snapshots;

class AddinScriptTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        registered_ = devhost::RegisterServerDll(testing::AddinDllPath().wstring(), false);
    }
    static void TearDownTestSuite() {
        devhost::RegisterServerDll(testing::AddinDllPath().wstring(), true);
        CoFreeUnusedLibrariesEx(0, 0);
        CoUninitialize();
    }
    void SetUp() override {
        ASSERT_EQ(registered_, S_OK);
        settings_.SetPaths(files_.Path(L"KEN_ALL.CSV"), files_.Path(L"JIGYOSYO.CSV"));
        ASSERT_TRUE(testing::SampleBook().Ok()) << testing::SampleBook().Message();
    }

    // OnCommand returned S_OK, and the add-in kept no host object, then nothing at all.
    static void ExpectCleanEnd(const Outcome& run, const Scenario& scenario) {
        EXPECT_EQ(run.commandResult, Ended(scenario));
        EXPECT_EQ(run.held, 0);
        EXPECT_EQ(run.heldAfterStop, 0);
    }

    static inline HRESULT registered_ = E_FAIL;
    testing::PostalFixtureFiles files_;
    testing::SettingsInRegistry settings_;
};

TEST_F(AddinScriptTest, ScriptErrorsStopTheScriptNamingTheLine) {
    const Scenario& edit = kCommandScenarios[0];
    struct Case {
        const char* name;
        const char* steps;  // null: the whole edit run's steps
        const char* before;
        const char* after;
        const char* error;
    } const cases[] = {
        {"unknown statement", nullptr, "frobnicate 1", "",
         "line 1: unknown statement `frobnicate`"},
        {"malformed step", nullptr, "set x \"1\"", "", "line 1: not a control id: `x`"},
        {"missing argument", nullptr, "dialog", "", "line 1: expected `dialog TEXT`"},
        {"another dialog came", "dialog \"住所更新確認\"\nclose OK\n", "", "",
         "line 2: expected dialog \"住所更新確認\", but dialog \"Marupo 編集\" appeared"},
        {"the dialog never came", "dialog \"Marupo 編集\"\nclose OK\n",
         "fail every GetSelection E_FAIL \"選択を読めません。\"", "",
         "line 2: dialog \"Marupo 編集\" never appeared; message box \"選択を読めません。\" "
         "appeared instead"},
        {"expected text differs", "dialog \"Marupo 編集\"\nexpect 316 \"佐藤\"\nclose OK\n", "", "",
         "line 3: control 316 shows \"山田\", expected \"佐藤\""},
        {"another message box came",
         "dialog \"Marupo 編集\"\nset 321 \"1234567\"\nclick 326\nmessagebox \"見つかりました\"\n"
         "close OK\n",
         "", "",
         "line 5: expected message box \"見つかりました\", but message box "
         "\"郵便番号が見つかりませんでした。\" appeared"},
        {"the dialog closed before the next came",
         "dialog \"Marupo 編集\"\nclick 2\ndialog \"住所更新確認\"\nclose OK\n", "", "",
         "line 4: dialog \"住所更新確認\" never appeared: the dialog it comes from closed, and "
         "nothing else appeared"},
        {"no control of that id", "dialog \"Marupo 編集\"\nclick 999\nclose OK\n", "", "",
         "line 3: the dialog has no control 999"},
        {"check state differs", "dialog \"Marupo 編集\"\nexpect-checked 314 1\nclose OK\n", "", "",
         "line 3: control 314 is not checked"},
        {"enabled state differs", "dialog \"Marupo 編集\"\nexpect-enabled 312 1\nclose OK\n", "",
         "", "line 3: control 312 is disabled"},
        {"items differ", "dialog \"Marupo 編集\"\nexpect-items 313 未分類\nclose OK\n", "", "",
         "line 3: control 313 lists \"家族\" \"仕事\" \"取引先\" \"友人\" \"未分類\", expected "
         "\"未分類\""},
        {"keys for a disabled control", "dialog \"Marupo 編集\"\nkey 312 Escape\nclose OK\n", "",
         "", "line 3: the control cannot take the focus"},
        {"steps end without close", "dialog \"Marupo 編集\"\nset 321 \"0600042\"\n", "", "",
         "line 2: the steps for this dialog end without `close`"},
        {"held objects differ", nullptr, "", "expect-held 1",
         "line 10: the add-ins hold 0 host object(s), expected 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scenario scenario = edit;
        if (c.steps != nullptr) scenario.steps = c.steps;
        Outcome run = RunScenario(scenario, c.before, nullptr, c.after);
        EXPECT_EQ(run.scriptError, c.error);
        EXPECT_EQ(run.held, 0);
        EXPECT_EQ(run.heldAfterStop, 0);
    }
}

TEST_F(AddinScriptTest, StepsSwitchTabsChooseCheckTypeKeysAndCaptureTheDialog) {
    std::error_code ignored;
    const auto shot = std::filesystem::temp_directory_path() /
                      ("marupo_step_" + std::to_string(GetCurrentProcessId()) + ".bmp");
    std::filesystem::remove(shot, ignored);
    // The note edit shares its id with a reading edit of the hidden address page. Enter in the
    // note starts a line; Alt+P is the private box's mnemonic.
    const std::string steps =
        "dialog \"Marupo 編集\"\n"
        "expect-items 313 \"家族\" \"仕事\" \"取引先\" \"友人\" \"未分類\"\n"
        "tab \"コメント\"\n"
        "set 312 \"打ち合わせは火曜\"\n"
        "key 312 End Enter\n"
        "tab \"名前\"\n"
        "expect 312 \"やまだ\"\n"
        "expect-enabled 312 0\n"
        "expect-enabled 316 1\n"
        "choose 313 \"友人\"\n"
        "check 314\n"
        "uncheck 314\n"
        "key 316 Alt+P\n"
        "expect-checked 314 1\n"
        "screenshot " +
        shot.u8string() + "\nclose OK\n";
    Outcome run = RunScenario({"steps", "Marupo1", {1}, steps.c_str()}, "");
    EXPECT_EQ(run.scriptError, "");
    ExpectCleanEnd(run, {"steps", "Marupo1", {1}, ""});
    for (const char* written :
         {"IAddressRecord#1.SetNote(\"打ち合わせは火曜\\r\\n\")",
          "IAddressRecord#1.SetCategoryName(\"友人\")", "IAddressRecord#1.SetPrivate(1)"}) {
        bool found = false;
        for (const LoggedCall& call : run.calls)
            found |= call.Line().find(written) != std::string::npos;
        EXPECT_TRUE(found) << written;
    }
    std::ifstream image(shot, std::ios::binary);
    char header[2] = {};
    image.read(header, 2);
    EXPECT_EQ(std::string(header, 2), "BM") << "no screenshot";
    image.close();
    EXPECT_GT(std::filesystem::file_size(shot, ignored), 10000u);
    std::filesystem::remove(shot, ignored);
}

TEST_F(AddinScriptTest, ACodeWithSeveralTownAreasAsksWhichOneIsMeant) {
    const std::string choose =
        "dialog \"Marupo 編集\"\n"
        "set 321 \"〒４５２－０９６１\"\n"
        "click 326\n"
        "dialog \"町域の選択\"\n"
        "expect-items 368 \"春日明河原　愛知県清須市\" \"春日一番割　愛知県清須市\" "
        "\"西枇杷島町（その他）　愛知県清須市\"\n"
        "expect 368 \"春日明河原　愛知県清須市\"\n"
        "choose 368 \"西枇杷島町（その他）　愛知県清須市\"\n";
    const struct Case {
        const char* name;
        std::string steps;
        const char* street;  // written on OK; null when the editor is cancelled
    } cases[] = {
        {"chosen, then confirmed",
         choose + "close OK\n"
                  "dialog \"住所更新確認\"\n"
                  "expect 356 \"〒 452-0961\"\n"
                  "expect 367 \"西枇杷島町\"\n"
                  "close OK\n"
                  "expect 323 \"清須市\"\n"
                  "close OK\n",
         "西枇杷島町"},
        {"Enter takes the selected one",
         choose + "key 368 Enter\ndialog \"住所更新確認\"\nclose OK\nclose OK\n", "西枇杷島町"},
        {"cancelled: nothing changes",
         choose + "close CANCEL\n"
                  "expect 324 \"丸の内1-1-1\"\n"
                  "expect 321 \"〒４５２－０９６１\"\n"
                  "close OK\n",
         "丸の内1-1-1"},
        {"Esc cancels too", choose + "key 368 Escape\nexpect 322 \"東京都\"\nclose CANCEL\n",
         nullptr},
        {"one record: no chooser",
         "dialog \"Marupo 編集\"\nset 321 \"0600042\"\nclick 326\n"
         "dialog \"住所更新確認\"\nclose OK\nclose OK\n",
         "大通西"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Outcome run = RunScenario({"chooser", "Marupo1", {1}, c.steps.c_str()}, "");
        EXPECT_EQ(run.scriptError, "");
        ExpectCleanEnd(run, {"chooser", "Marupo1", {1}, ""});
        bool written = false;
        for (const LoggedCall& call : run.calls) {
            if (call.method != "SetStreet") continue;
            written = true;
            EXPECT_NE(call.Line().find(std::string("(\"") + (c.street ? c.street : "") + "\")"),
                      std::string::npos)
                << call.Line();
        }
        EXPECT_EQ(written, c.street != nullptr);
    }
}

// The business-office file chosen as the nationwide file: named, and nothing is kept.
TEST_F(AddinScriptTest, SettingsDialogRefusesTheBusinessFileAsTheNationwideFile) {
    const testing::PostalFixtureFiles kept(testing::ProgramFolder());
    const std::string business = kept.Path(L"JIGYOSYO.CSV");
    std::string quoted;  // a backslash in a script's quoted text is written twice
    for (char c : business) quoted += c == '\\' ? std::string("\\\\") : std::string(1, c);
    const std::string steps =
        "dialog \"Marupo 編集\"\n"
        "click 361\n"
        "dialog \"Marupo 設定\"\n"
        "set 357 \"" +
        quoted +
        "\"\n"
        "click 1\n"
        "messagebox \"全国一括住所のファイルに事業所の郵便番号データが選ばれています。"
        "utf_ken_all.zip または ken_all.zip を選んでください。\"\n"
        "expect 357 \"" +
        quoted +
        "\"\n"
        "close CANCEL\n"
        "close CANCEL\n";
    const Outcome run = RunScenario({"settings", "Marupo1", {1}, steps.c_str()}, "");
    EXPECT_EQ(run.scriptError, "");
    EXPECT_EQ(settings_.Path("CSVFile1"), files_.Path(L"KEN_ALL.CSV"));
}

TEST_F(AddinScriptTest, EscInAMultiLineEditCancelsTheEditor) {
    const char* const cases[] = {
        "dialog \"Marupo 編集\"\nset 324 \"変更\"\nkey 324 Escape\n",
        "dialog \"Marupo 編集\"\ntab \"コメント\"\nset 312 \"変更\"\nkey 312 Escape\n",
    };
    for (const char* steps : cases) {
        SCOPED_TRACE(steps);
        Outcome run = RunScenario({"esc", "Marupo1", {1}, steps}, "");
        EXPECT_EQ(run.scriptError, "");
        ExpectCleanEnd(run, {"esc", "Marupo1", {1}, ""});
        for (const LoggedCall& call : run.calls) EXPECT_NE(call.method.rfind("Set", 0), 0u);
    }
}

TEST_F(AddinScriptTest, EveryHostCallFailingOnceEndsTheRunCleanly) {
    for (const Scenario& scenario : kCommandScenarios) {
        SCOPED_TRACE(scenario.name);
        Snapshots snapshots;
        Outcome baseline = RunScenario(scenario, "", &snapshots);
        ASSERT_EQ(baseline.scriptError, "");
        ASSERT_EQ(baseline.commandResult, Ended(scenario));
        ASSERT_TRUE(baseline.boxes.empty());
        ASSERT_EQ(baseline.held, 0);
        ASSERT_FALSE(snapshots.empty()) << "the run wrote nothing";
        const size_t calls = baseline.calls.size();
        const std::string initial = testing::InitialBook(scenario);

        for (bool errorInfo : {true, false}) {
            for (size_t k = 1; k <= calls; ++k) {
                SCOPED_TRACE("call " + std::to_string(k) + " " + baseline.calls[k - 1].method +
                             (errorInfo ? "" : ", errorinfo off"));
                Outcome run = RunScenario(
                    scenario, std::string(errorInfo ? "" : "errorinfo off\n") + "fail call " +
                                  std::to_string(k) + " E_FAIL \"ホストの呼び出し " +
                                  std::to_string(k) + " が失敗しました。\"");
                const std::string text =
                    errorInfo ? "ホストの呼び出し " + std::to_string(k) + " が失敗しました。" : "";
                ASSERT_EQ(run.boxes, std::vector<std::string>{"messagebox \"Marupo\" \"" + text +
                                                              "\" answered 1"});
                ExpectCleanEnd(run, scenario);
                ASSERT_EQ(run.calls.size(), k) << "host calls went on after the failure";
                for (size_t i = 0; i + 1 < k; ++i) {
                    EXPECT_EQ(run.calls[i].Line(), baseline.calls[i].Line());
                }
                auto before = snapshots.lower_bound(k);
                EXPECT_EQ(run.book,
                          before == snapshots.begin() ? initial : std::prev(before)->second)
                    << "the book must hold exactly what was written before the failing call";
            }
        }
    }
}

TEST_F(AddinScriptTest, EveryTextGetterHandingBackNullReadsAsEmpty) {
    for (const Scenario& scenario : kCommandScenarios) {
        SCOPED_TRACE(scenario.name);
        Outcome baseline = RunScenario(scenario, "");
        ASSERT_EQ(baseline.commandResult, Ended(scenario));
        std::map<std::string, int> seen;
        int getters = 0;
        for (const LoggedCall& call : baseline.calls) {
            std::string method = call.interfaceName + "." + call.method;
            int nth = ++seen[method];
            if (call.outValue.find('"') == std::string::npos) continue;  // no text handed back
            ++getters;
            SCOPED_TRACE(method + " #" + std::to_string(nth));
            Outcome run = RunScenario(scenario, "null nth " + std::to_string(nth) + " " + method);
            ExpectCleanEnd(run, scenario);
            ASSERT_FALSE(run.calls.empty());
            if (run.boxes.empty()) {
                // Read as empty text, the run goes through as the user drove it.
                EXPECT_EQ(run.scriptError, "");
                EXPECT_EQ(run.calls.size(), baseline.calls.size());
            } else {
                // An empty category name is one the host refuses when it is written back: the
                // one message box is the host's, and nothing was called after it.
                EXPECT_EQ(run.boxes.size(), 1u);
                EXPECT_EQ(method, "ICategoryNames.GetItem");
                EXPECT_LT(run.calls.back().result, 0) << run.calls.back().Line();
            }
        }
        EXPECT_GT(getters, 0);
    }
}

}  // namespace
}  // namespace marupo
