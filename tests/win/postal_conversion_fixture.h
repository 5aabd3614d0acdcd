#pragma once
// What the conversion tests share: small postal-code files written into a fresh temporary
// folder, Shift-JIS texts from UTF-16 literals, and message pumping.

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "settings/postal_settings.h"
#include "tests/support/sjis_text.h"
#include "ui/message_pump.h"
#include "ui/window_text.h"
#include "win/module_path.h"

namespace marupo::testing {

inline void Pump() {
    ui::PumpUntilQuiet();
}

// The test program's folder: postal-code files the settings dialog must accept cannot lie in
// the temporary folder.
inline std::filesystem::path ProgramFolder() {
    return std::filesystem::path(win::ModuleFileName(nullptr)).parent_path();
}

// A nationwide and a business-office file in the published column layouts, CR LF lines, in a
// fresh folder in `base`.
class PostalFixtureFiles {
  public:
    explicit PostalFixtureFiles(
        const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
        folder_ = base / (L"marupo_convert_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                          std::to_wstring(++counter_));
        std::filesystem::create_directories(folder_);
        Write(
            L"KEN_ALL.CSV",
            {
                LR"(23234,"452  ","4520961","ｱｲﾁｹﾝ","ｷﾖｽｼ","ﾊﾙﾋｱｹｶﾞﾜﾗ","愛知県","清須市","春日明河原",0,0,0,0,0,0)",
                LR"(23234,"452  ","4520961","ｱｲﾁｹﾝ","ｷﾖｽｼ","ﾊﾙﾋｲﾁﾊﾞﾝﾜﾘ","愛知県","清須市","春日一番割",0,0,0,0,0,0)",
                LR"(01101,"060  ","0600042","ﾎｯｶｲﾄﾞｳ","ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ","ｵｵﾄﾞｵﾘﾆｼ","北海道","札幌市中央区","大通西",0,0,1,0,0,0)",
                LR"(01101,"064  ","0640820","ﾎｯｶｲﾄﾞｳ","ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ","ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ","北海道","札幌市中央区","以下に掲載がない場合",0,0,0,0,0,0)",
                LR"(13101,"100  ","1000001","ﾄｳｷｮｳﾄ","ﾁﾖﾀﾞｸ","ﾁﾖﾀﾞ","東京都","千代田区","千代田",0,0,0,0,0,0)",
                // A record of 4520961 apart from the others, with a note the chooser shows.
                LR"(23234,"452  ","4520961","ｱｲﾁｹﾝ","ｷﾖｽｼ","ﾆｼﾋﾞﾜｼﾞﾏﾁｮｳ","愛知県","清須市","西枇杷島町（その他）",0,0,0,0,0,0)",
            });
        Write(
            L"JIGYOSYO.CSV",
            {
                LR"(13101,"ﾆﾎﾝﾕｳｾｲ","日本郵政　株式会社","東京都","千代田区","大手町","２丁目３－１","1008798","100  ","銀座",0,0,0)",
                // Another office under the same code: a business-office hit offers no choice.
                LR"(13101,"ﾆﾎﾝﾕｳｾｲ","日本郵政　別館","東京都","千代田区","大手町","２丁目３－２","1008798","100  ","銀座",0,0,0)",
            });
    }
    ~PostalFixtureFiles() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    PostalFixtureFiles(const PostalFixtureFiles&) = delete;
    PostalFixtureFiles& operator=(const PostalFixtureFiles&) = delete;

    std::string Path(const wchar_t* name) const { return Sjis((folder_ / name).wstring()); }

    PostalSettings Settings(std::int32_t divCity = 0) const {
        PostalSettings settings;
        settings.nationwideFile = Path(L"KEN_ALL.CSV");
        settings.businessFile = Path(L"JIGYOSYO.CSV");
        settings.divCity = divCity;
        return settings;
    }

  private:
    void Write(const wchar_t* name, const std::vector<std::wstring>& lines) {
        std::ofstream out(folder_ / name, std::ios::binary);
        for (const auto& line : lines) out << Sjis(line) << "\r\n";
    }

    static inline int counter_ = 0;
    std::filesystem::path folder_;
};

}  // namespace marupo::testing
