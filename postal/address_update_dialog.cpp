#include "postal/address_update_dialog.h"

#include <utility>

#include "res/update_dialog.h"

namespace marupo {

AddressUpdateDialog::AddressUpdateDialog(AddressUpdate values)
    : Dialog(IDD_ADDRESS_UPDATE), values_(std::move(values)) {
    OnCommand(IDC_UPDATE_REWRITE_ALL, BN_CLICKED, &AddressUpdateDialog::OnRewriteAll);
    OnCommand(IDC_UPDATE_APPEND_STREET, BN_CLICKED, &AddressUpdateDialog::OnAppendStreet);
}

void AddressUpdateDialog::ExchangeData(ui::DataExchange& dx) {
    dx.Bind(IDC_UPDATE_APPEND_STREET, appendStreetButton_);
    dx.Bind(IDC_UPDATE_REWRITE_ALL, rewriteAllButton_);
    dx.Text(IDC_UPDATE_NEW_PREFECTURE, values_.newPrefecture);
    dx.Text(IDC_UPDATE_OLD_PREFECTURE, values_.oldPrefecture);
    dx.Text(IDC_UPDATE_POSTAL_LINE, values_.postalLine);
    dx.Radio(IDC_UPDATE_REWRITE_ALL, values_.choice);
    dx.Text(IDC_UPDATE_NEW_CITY, values_.newCity);
    dx.Text(IDC_UPDATE_NEW_STREET, values_.newStreetShown);
    dx.Text(IDC_UPDATE_OLD_CITY, values_.oldCity);
    dx.Text(IDC_UPDATE_OLD_STREET, values_.oldStreet);
}

void AddressUpdateDialog::OnRewriteAll() {
    ChooseRewriteAll(values_);
    UpdateData(false);
}

void AddressUpdateDialog::OnAppendStreet() {
    ChooseAppendOldStreet(values_);
    UpdateData(false);
}

}  // namespace marupo
