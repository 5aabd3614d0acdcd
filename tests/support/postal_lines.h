#pragma once
// Lines of Japan Post's two files in their published layout, in UTF-8 as the UTF-8 edition of
// the nationwide file has them; testing::Sjis gives the Shift-JIS of the classic files.

#include <string>

namespace marupo::testing {

// A line of the nationwide file (KEN_ALL.CSV).
inline std::string Ken(const std::string& code, const std::string& prefecture,
                       const std::string& city, const std::string& town,
                       const std::string& eol = "\r\n") {
    return "01101,\"" + code.substr(0, 3) + "  \",\"" + code + "\",\"ﾎｯｶｲﾄﾞｳ\",\"ｼ\",\"ﾁｮｳ\",\"" +
           prefecture + "\",\"" + city + "\",\"" + town + "\",0,0,0,0,0,0" + eol;
}

// A line of the business file (JIGYOSYO.CSV).
inline std::string Jig(const std::string& code, const std::string& prefecture,
                       const std::string& city, const std::string& town, const std::string& block) {
    return "13101,\"ｶﾌﾞｼｷｶﾞｲｼｬ\",\"株式会社　見本\",\"" + prefecture + "\",\"" + city + "\",\"" +
           town + "\",\"" + block + "\",\"" + code + "\",\"100  \",\"銀座\",0,0,0\r\n";
}

}  // namespace marupo::testing
