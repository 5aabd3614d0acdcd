#include "module/registration_paths.h"

#include <gtest/gtest.h>

#include <string>

namespace marupo {
namespace {

TEST(RegistrationPathsTest, QuotesAreDoubledForTheScriptOnly) {
    struct Case {
        std::wstring path, quoted;
    } const cases[] = {
        {L"C:\\Addins\\Marupo.dll", L"C:\\Addins\\Marupo.dll"},
        {L"C:\\O'Brien\\Marupo.dll", L"C:\\O''Brien\\Marupo.dll"},
        {L"C:\\''\\x'.dll", L"C:\\''''\\x''.dll"},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(QuotedForScript(c.path), c.quoted) << c.path.size();
}

TEST(RegistrationPathsTest, TypeLibraryFallbackAndHelpDirectory) {
    struct Case {
        std::wstring path, tlb, directory;
    } const cases[] = {
        {L"C:\\Addins\\Marupo.dll", L"C:\\Addins\\Marupo.tlb", L"C:\\Addins\\"},
        {L"C:\\Addins\\Marupo.old.dll", L"C:\\Addins\\Marupo.old.tlb", L"C:\\Addins\\"},
        {L"C:\\Add.ins\\Marupo", L"C:\\Add.ins\\Marupo.tlb", L"C:\\Add.ins\\"},
        {L"Z:/build/Marupo.dll", L"Z:/build/Marupo.tlb", L"Z:/build/"},
        {L"C:Marupo.dll", L"C:Marupo.tlb", L"C:"},
        {L"Marupo", L"Marupo.tlb", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WithExtension(c.path, L".tlb"), c.tlb);
        EXPECT_EQ(DirectoryOf(c.path), c.directory);
    }
}

}  // namespace
}  // namespace marupo
