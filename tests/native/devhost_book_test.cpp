// The stand-in host's book file, its escaped values, the script lines and the fault rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devhost/book_file.h"
#include "devhost/dialog_step.h"
#include "devhost/fault_injector.h"
#include "devhost/host_methods.h"
#include "devhost/script.h"
#include "devhost/text_codec.h"

namespace marupo::devhost {
namespace {

Book SampleBook() {
    Book book;
    book.AddCategory(u"仕事");
    book.AddCategory(u"友人");
    book.SetCustomLabel(0, u"誕生日");
    book.SetCustomLabel(2, u" 先頭と末尾に空白 ");
    RecordPtr r = book.Add(u"友人");
    r->surname = u"𠮷田";        // outside code page 932 (surrogate pair)
    r->givenName = u"한국 😀 ß";  // Korean, emoji, Latin
    r->givenNameReading = u"よしだ";
    r->note = u"一行目\r\n二行目\t\"引用\" \\ 終";
    r->street = std::u16string(u"孤立") + char16_t(0xD800) + u"サロゲート";
    r->contacts[2] = {7, u"090-1234-5678"};
    r->customFields[1] = u"Ａ型";
    r->primarySlot = 2;
    r->privateFlag = 1;
    RecordPtr second = book.Add(u"仕事");
    second->company = u"髙島屋";  // an IBM extension character of code page 932
    book.SetViewCategory(u"仕事");
    book.SetSelection({2, 1});
    book.SetPrivateDisplayMode(1);
    return book;
}

TEST(BookFileTest, RoundTripKeepsEveryValueExactly) {
    Book original = SampleBook();
    std::string text = FormatBook(original);
    auto parsed = ParseBook(text);
    ASSERT_TRUE(parsed.Ok()) << parsed.Message();
    const Book& book = *parsed;
    ASSERT_EQ(book.Records().size(), 2u);
    EXPECT_EQ(*book.Records()[0], *original.Records()[0]);
    EXPECT_EQ(*book.Records()[1], *original.Records()[1]);
    EXPECT_EQ(book.Categories(), original.Categories());
    EXPECT_EQ(book.CustomLabels(), original.CustomLabels());
    EXPECT_EQ(book.ViewCategory(), u"仕事");
    EXPECT_EQ(book.Selection(), (std::vector<int>{2, 1}));
    EXPECT_EQ(book.PrivateDisplayMode(), 1);
    // Written once more, the text is the same: nothing drifts between saves.
    EXPECT_EQ(FormatBook(book), text);
    // The file is valid UTF-8 with the characters themselves, not escapes.
    EXPECT_NE(text.find("surname = 𠮷田"), std::string::npos);
    EXPECT_NE(text.find("\\uD800"), std::string::npos);
    EXPECT_TRUE(FromUtf8(text).has_value());
}

TEST(BookFileTest, UnfiledCategoryComesFirstWhateverTheFileSays) {
    auto parsed = ParseBook(
        "[book]\ncategory = 仕事\ncategory = 未分類\ncategory = 友人\n\n[record 5]\nsurname = x\n");
    ASSERT_TRUE(parsed.Ok()) << parsed.Message();
    EXPECT_EQ(parsed->Categories(), (std::vector<std::u16string>{u"未分類", u"仕事", u"友人"}));
    // A record without a category is unfiled; new records continue after the highest id.
    EXPECT_EQ(parsed->Records()[0]->category, u"未分類");
    EXPECT_EQ(parsed->Add(u"仕事")->id, 6);
}

TEST(BookFileTest, MalformedFilesAreRefusedWithTheLine) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"surname = x\n", "line 1: value outside a [book] or [record] section"},
        {"[book]\n\ncolour = red\n", "line 3: unknown book key `colour`"},
        {"[record 1]\nsurname\n", "line 2: expected `key = value`"},
        {"[record 0]\n", "line 1: record id must be a positive number"},
        {"[record 1]\n[record 1]\n", "line 2: record id used twice"},
        {"[record 1]\ncategory = 無い\n", "line 1: record 1 names an unknown category `無い`"},
        {"[record 1]\nprimary = 5\n", "line 2: primary must be a slot 0..4"},
        {"[record 1]\ncontact5 = x\n", "line 2: unknown record key `contact5`"},
        {"[record 1]\nnote = a\\qb\n", "line 2: malformed value (bad escape or UTF-8)"},
        {"[record 1]\nnote = \xff\n", "line 2: malformed value (bad escape or UTF-8)"},
        {"[book]\nview = 無い\n", "line 2: view names an unknown category `無い`"},
        {"[book]\nselection = 1 1\n[record 1]\n",
         "line 2: selection names an unknown or repeated record id"},
        {"[book]\ncategory = All\n", "line 2: invalid category name"},
        {"[shelf]\n", "line 1: unknown section [shelf]"},
    };
    for (const auto& c : cases) {
        auto parsed = ParseBook(c.text);
        EXPECT_FALSE(parsed.Ok()) << c.text;
        EXPECT_EQ(parsed.Message(), c.error) << c.text;
    }
}

TEST(BookFileTest, AcceptsByteOrderMarkCrLfAndComments) {
    auto parsed = ParseBook(
        "\xEF\xBB\xBF# 見出し\r\n[book]\r\ncategory = 仕事\r\n[record 3]\r\n"
        "category = 仕事\r\nnote = 末尾\\u0020\r\n");
    ASSERT_TRUE(parsed.Ok()) << parsed.Message();
    EXPECT_EQ(parsed->Find(3)->note, u"末尾 ");
}

TEST(BookFileTest, ShippedSampleBookLoads) {
#ifdef _WIN32
    auto loaded = LoadBookFile("..\\sample-book.txt");  // copied beside the programs
#else
    auto loaded = LoadBookFile(MARUPO_SOURCE_DIR "/devhost/sample/book.txt");
#endif
    ASSERT_TRUE(loaded.Ok()) << loaded.Message();
    EXPECT_GE(loaded->Records().size(), 20u);
    EXPECT_GE(loaded->Categories().size(), 4u);
    EXPECT_EQ(loaded->Categories()[0], u"未分類");
}

TEST(TextCodecTest, Utf8AndEscapes) {
    const struct {
        std::u16string text;
        std::string escaped;
    } cases[] = {
        {u"", ""},
        {u"住所", "住所"},
        {u"a\nb\tc\\d\"e", "a\\nb\\tc\\\\d\\\"e"},
        {u" 両端 ", "\\u0020両端\\u0020"},
        {u"中 間", "中 間"},
        {u"\x01", "\\u0001"},
        {u"😀", "😀"},
        {std::u16string(1, char16_t(0xDC00)), "\\uDC00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EscapeValue(c.text), c.escaped);
        EXPECT_EQ(UnescapeValue(c.escaped), c.text) << c.escaped;
    }
    EXPECT_FALSE(UnescapeValue("\\u12"));
    EXPECT_FALSE(UnescapeValue("end\\"));
    EXPECT_FALSE(FromUtf8("\xC0\xAF"));      // overlong
    EXPECT_FALSE(FromUtf8("\xED\xA0\x80"));  // encoded surrogate
    EXPECT_FALSE(FromUtf8("\xE3\x81"));      // cut short
    EXPECT_EQ(ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(ScriptTest, SplitsWordsQuotesAndComments) {
    auto parsed = ParseScript(
        "# a comment\n"
        "load  book.txt   # trailing\n"
        "\n"
        "fail every SetCity E_FAIL \"書き込み \\\"失敗\\\"\\n二行目\"\n"
        "view \"\"\n");
    ASSERT_TRUE(parsed.Ok()) << parsed.Message();
    const std::vector<ScriptLine>& lines = *parsed;
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].number, 2);
    EXPECT_EQ(lines[0].words, (std::vector<std::u16string>{u"load", u"book.txt"}));
    EXPECT_EQ(lines[1].number, 4);
    EXPECT_EQ(lines[1].words.back(), u"書き込み \"失敗\"\n二行目");
    EXPECT_EQ(lines[2].words, (std::vector<std::u16string>{u"view", u""}));

    EXPECT_EQ(ParseScript("ok\nview \"open\n").Message(), "line 2: unterminated quoted word");
    EXPECT_EQ(ParseScript("view \"\\x\"\n").Message(),
              "line 1: malformed escape or UTF-8 in quoted word");
}

TEST(ScriptTest, DialogStepsParseIntoTheirParts) {
    using Kind = DialogStep::Kind;
    struct Case {
        const char* line;
        Kind kind;
        int control;
        std::u16string text{};  // the rest empty unless the row says
        std::u16string committed{};
        std::string path{};
    } cases[] = {
        {"dialog \"住所更新確認\"", Kind::kDialog, 0, u"住所更新確認"},
        {"messagebox \"見つかりません\"", Kind::kMessageBox, 1, u"見つかりません"},
        {"messagebox \"続けますか\" NO", Kind::kMessageBox, 7, u"続けますか"},
        {"set 321 \"064-0941\"", Kind::kSet, 321, u"064-0941"},
        {"click 326", Kind::kClick, 326},
        {"uncheck 314", Kind::kUncheck, 314},
        {"choose 313 友人", Kind::kChoose, 313, u"友人"},
        {"tab コメント", Kind::kTab, 0, u"コメント"},
        {"ime 316 \"すずき\" \"鈴木\"", Kind::kIme, 316, u"すずき", u"鈴木"},
        {"screenshot out\\editor.bmp", Kind::kScreenshot, 0, u"", u"", "out\\editor.bmp"},
        {"close CANCEL", Kind::kClose, 2},
        {"close 1001", Kind::kClose, 1001},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        auto parsed = ParseScript(c.line);
        ASSERT_EQ(parsed->size(), 1u);
        ASSERT_TRUE(IsDialogStepKeyword((*parsed)[0].Keyword()));
        auto stepParsed = ParseDialogStep((*parsed)[0]);
        ASSERT_TRUE(stepParsed.Ok()) << stepParsed.Message();
        const DialogStep& step = *stepParsed;
        EXPECT_EQ(step.kind, c.kind);
        EXPECT_EQ(step.line, 1);
        EXPECT_EQ(step.control, c.control);
        EXPECT_EQ(step.text, c.text);
        EXPECT_EQ(step.committed, c.committed);
        EXPECT_EQ(step.path, c.path);
    }
    const std::pair<const char*, const char*> errors[] = {
        {"click", "expected `click ID`"},
        {"messagebox a OK b", "expected `messagebox TEXT BUTTON?`"},
        {"set -3 x", "not a control id: `-3`"},
        {"close LATER", "not a button: `LATER`"},
        {"ime 316 すずき", "expected `ime ID TEXT TEXT`"},
        {"key 316", "expected `key ID KEY+`"},
        {"key 316 Tab Hyper", "not a key: `Hyper`"},
        {"key 316 Shift+", "not a key: `Shift+`"},
        {"key 316 F13", "not a key: `F13`"},
        {"expect-checked 314 2", "not 0 or 1: `2`"},
    };
    for (const auto& [line, error] : errors) {
        auto step = ParseDialogStep((*ParseScript(line))[0]);
        EXPECT_FALSE(step.Ok()) << line;
        EXPECT_EQ(step.Message(), error) << line;
    }
    EXPECT_FALSE(IsDialogStepKeyword("invoke"));

    auto keys = ParseDialogStep((*ParseScript("key 324 Escape Shift+Tab Ctrl+Alt+F4 Z 7"))[0]);
    ASSERT_TRUE(keys.Ok()) << keys.Message();
    EXPECT_EQ(keys->keys, (std::vector<KeyStroke>{
                              {0x1B}, {0x09, true}, {0x73, false, true, true}, {'Z'}, {'7'}}));
    auto items = ParseDialogStep((*ParseScript("expect-items 313 仕事 \"未分類\""))[0]);
    ASSERT_TRUE(items.Ok()) << items.Message();
    EXPECT_EQ(items->items, (std::vector<std::u16string>{u"仕事", u"未分類"}));
}

TEST(FaultRulesTest, EarliestRuleDecidesAndOneShotRulesAreSpent) {
    FaultInjector faults;
    faults.FailEvery("IAddressRecord.SetNote", static_cast<int32_t>(0x80004005), u"every");
    faults.FailNth(2, "SetNote", 1, std::nullopt);
    faults.NullNth(1, "GetItem");
    auto kind = [&](const char* i, const char* m) { return faults.Decide(i, m); };
    EXPECT_EQ(kind("IAddressRecord", "SetNote").description, u"every");
    EXPECT_EQ(kind("IAddressRecord", "SetNote").hr,
              static_cast<int32_t>(0x80004005));  // every wins over nth 2
    EXPECT_EQ(kind("ICategoryNames", "GetItem").kind, FaultAction::Kind::kNullResult);
    EXPECT_EQ(kind("IAddressRecords", "GetItem").kind, FaultAction::Kind::kProceed);
    EXPECT_EQ(kind("IOther", "SetNote").kind, FaultAction::Kind::kProceed);
}

TEST(FaultRulesTest, MethodNamesAndHresults) {
    EXPECT_TRUE(MethodExists("SetCity"));
    EXPECT_TRUE(MethodExists("ICategoryNames.GetItem"));
    EXPECT_FALSE(MethodExists("IAddressBook.GetItem"));
    EXPECT_FALSE(MethodExists("SetCty"));
    EXPECT_TRUE(MethodReturnsTextOrInterface("GetItem"));
    EXPECT_TRUE(MethodReturnsTextOrInterface("GetContact"));
    EXPECT_FALSE(MethodReturnsTextOrInterface("GetCount"));
    EXPECT_FALSE(MethodReturnsTextOrInterface("SetCity"));
    EXPECT_EQ(ParseHresult("E_INVALIDARG"), static_cast<int32_t>(0x80070057));
    EXPECT_EQ(ParseHresult("0x80004005"), static_cast<int32_t>(0x80004005));
    EXPECT_EQ(ParseHresult("-2147467259"), static_cast<int32_t>(0x80004005));
    EXPECT_EQ(ParseHresult("1"), 1);
    EXPECT_FALSE(ParseHresult("0x"));
    EXPECT_FALSE(ParseHresult("E_NOPE"));
    EXPECT_EQ(HresultName(static_cast<int32_t>(0x80070057)), "E_INVALIDARG");
    EXPECT_EQ(HresultName(static_cast<int32_t>(0x80041234)), "0x80041234");
}

}  // namespace
}  // namespace marupo::devhost
