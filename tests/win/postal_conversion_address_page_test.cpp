// The conversion through the real address page (dialog 303) inside a frame window: the button,
// the page's own exchange with its limits, and the confirmation dialog over the frame.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "res/address_page.h"
#include "res/update_dialog.h"
#include "tests/support/modal_driver.h"
#include "tests/win/address_page_test_frame.h"
#include "tests/win/postal_conversion_fixture.h"
#include "ui/data_exchange.h"

namespace marupo {
namespace {

using testing::ModalDriver;
using testing::Sjis;

class AddressPageConversionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        frame_.settings = files_.Settings();
        frame_.page.entry.surname = Sjis(L"山田");
        frame_.page.entry.country = Sjis(L"日本");
    }

    void Open() {
        ASSERT_TRUE(frame_.Open());
        SetForegroundWindow(frame_.Window());
        SetActiveWindow(frame_.Window());
        testing::Pump();
        driver_.emplace();
    }

    void Press() {
        HWND button = frame_.Item(IDC_ADDR_CONVERT_POSTAL);
        SetFocus(button);
        SendMessageW(button, BM_CLICK, 0, 0);
        testing::Pump();
    }

    void TearDown() override {
        if (driver_) {
            EXPECT_EQ(driver_->UnhandledDialogs(), 0);
        }
    }

    testing::PostalFixtureFiles files_;
    testing::PageFrame frame_;
    std::optional<ModalDriver> driver_;
};

TEST_F(AddressPageConversionTest, NewEntryGetsTheFoundAddressAndKeepsEverythingElse) {
    Open();
    frame_.SetText(IDC_ADDR_POSTAL_CODE, L"060-0042");
    Press();
    EXPECT_TRUE(driver_->MessageBoxes().empty());
    EXPECT_EQ(frame_.Text(IDC_ADDR_POSTAL_CODE), L"060-0042");
    EXPECT_EQ(frame_.Text(IDC_ADDR_PREFECTURE), L"北海道");
    EXPECT_EQ(frame_.Text(IDC_ADDR_CITY), L"札幌市中央区");
    EXPECT_EQ(frame_.Text(IDC_ADDR_STREET), L"大通西");
    EXPECT_EQ(frame_.Text(IDC_ADDR_COUNTRY), L"日本");
    EXPECT_EQ(frame_.page.entry.street, Sjis(L"大通西"));
    EXPECT_EQ(frame_.page.postalResult.city, Sjis(L"札幌市中央区"));
    EXPECT_EQ(GetFocus(), frame_.Item(IDC_ADDR_CONVERT_POSTAL));
}

TEST_F(AddressPageConversionTest, ExistingAddressIsConfirmedOverTheFrame) {
    frame_.page.entry.prefecture = Sjis(L"東京都");
    frame_.page.entry.city = Sjis(L"千代田区");
    frame_.page.entry.street = "1-2-3";
    Open();
    frame_.SetText(IDC_ADDR_POSTAL_CODE, L"0600042");
    std::wstring shownStreet;
    bool ownedByFrame = false;
    driver_->OnNextDialog([&](HWND dialog) {
        ownedByFrame = GetWindow(dialog, GW_OWNER) == frame_.Window();
        ModalDriver::Click(dialog, IDC_UPDATE_APPEND_STREET);
        shownStreet = ModalDriver::ControlText(dialog, IDC_UPDATE_NEW_STREET);
        ModalDriver::Click(dialog, IDOK);
    });
    Press();
    EXPECT_TRUE(ownedByFrame);
    EXPECT_EQ(shownStreet, L"大通西;1-2-3");
    EXPECT_EQ(frame_.Text(IDC_ADDR_PREFECTURE), L"北海道");
    EXPECT_EQ(frame_.Text(IDC_ADDR_CITY), L"札幌市中央区");
    EXPECT_EQ(frame_.Text(IDC_ADDR_STREET), L"大通西;1-2-3");
    EXPECT_TRUE(driver_->MessageBoxes().empty());
    EXPECT_EQ(GetFocus(), frame_.Item(IDC_ADDR_CONVERT_POSTAL));
}

TEST_F(AddressPageConversionTest, InvalidCodeIsReportedInTheAddinsBox) {
    Open();
    frame_.SetText(IDC_ADDR_POSTAL_CODE, L"０６００００４２");
    Press();
    ASSERT_EQ(driver_->MessageBoxes().size(), 1u);
    const auto& box = driver_->MessageBoxes()[0];
    EXPECT_EQ(box.text, L"郵便番号が不正です");
    EXPECT_EQ(box.caption, L"win_postal_conversion_address_page_test");
    EXPECT_TRUE(box.exclamationIcon);
    EXPECT_TRUE(box.onlyOkButton);
    EXPECT_EQ(frame_.Text(IDC_ADDR_PREFECTURE), L"");
    EXPECT_EQ(GetFocus(), frame_.Item(IDC_ADDR_CONVERT_POSTAL));
}

TEST_F(AddressPageConversionTest, OverlongHostValueStopsTheConversionAndKeepsTypedText) {
    // The host handed over a prefecture longer than the field takes; it is shown whole.
    frame_.page.entry.prefecture = std::string(300, 'P');
    frame_.page.entry.city = Sjis(L"旧市");
    Open();
    frame_.SetText(IDC_ADDR_POSTAL_CODE, L"0600042");
    frame_.SetText(IDC_ADDR_CITY, L"新市");
    frame_.SetText(IDC_ADDR_STREET, L"新しい番地");
    Press();
    EXPECT_EQ(driver_->MessageTexts(), std::vector<std::wstring>{ui::LengthMessage(255)});
    EXPECT_EQ(frame_.Text(IDC_ADDR_CITY), L"新市");
    EXPECT_EQ(frame_.Text(IDC_ADDR_STREET), L"新しい番地");
    EXPECT_EQ(frame_.AnsiText(IDC_ADDR_PREFECTURE), std::string(300, 'P'));
    EXPECT_TRUE(frame_.page.postalResult.prefecture.empty());
}

}  // namespace
}  // namespace marupo
