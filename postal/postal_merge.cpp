#include "postal/postal_merge.h"

namespace marupo {

bool HoldsNoAddress(const AddressEntry& values) {
    return values.prefecture.empty() && values.city.empty() && values.street.empty();
}

void FillAddress(AddressEntry& values, const PostalAddress& found) {
    values.prefecture = found.prefecture;
    values.city = found.city;
    values.street = found.street;
}

AddressUpdate PrepareAddressUpdate(const AddressEntry& values, const PostalAddress& found,
                                   std::string_view sevenDigits) {
    AddressUpdate update;
    update.postalLine = kPostalLinePrefix + std::string(sevenDigits.substr(0, 3)) + "-" +
                        std::string(sevenDigits.substr(3));
    update.oldPrefecture = values.prefecture;
    update.oldCity = values.city;
    update.oldStreet = values.street;
    update.newPrefecture = found.prefecture;
    update.newCity = found.city;
    update.rewriteStreet = found.street;
    update.newStreetShown = found.street;
    update.appendStreet = found.street + kStreetJoin + values.street;
    update.choice = kRewriteAll;
    return update;
}

void ChooseRewriteAll(AddressUpdate& update) {
    update.newStreetShown = update.rewriteStreet;
    update.choice = kRewriteAll;
}

void ChooseAppendOldStreet(AddressUpdate& update) {
    update.newStreetShown = update.appendStreet;
    update.choice = kAppendOldStreet;
}

void ApplyAddressUpdate(const AddressUpdate& update, AddressEntry& values) {
    const std::string* street = nullptr;
    if (update.choice == kRewriteAll) street = &update.rewriteStreet;
    if (update.choice == kAppendOldStreet) street = &update.appendStreet;
    if (street == nullptr) return;
    values.prefecture = update.newPrefecture;
    values.city = update.newCity;
    values.street = *street;
}

}  // namespace marupo
