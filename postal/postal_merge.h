#pragma once
// How a found address joins the address page's values: filled in directly when the page holds
// no address yet, otherwise through the confirmation dialog's two choices.

#include <cstdint>
#include <string>
#include <string_view>

#include "entry/address_entry.h"
#include "postal/postal_address.h"

namespace marupo {

// The confirmation dialog's radio group: 0 rewrites all, 1 keeps the old street behind the new.
enum AddressUpdateChoice : std::int32_t {
    kRewriteAll = 0,
    kAppendOldStreet = 1,
};

// The postal mark and one blank in Shift-JIS ("〒 "), put before the code.
inline constexpr char kPostalLinePrefix[] = "\x81\xA7 ";
// Joins the found street and the old one when the old street is kept.
inline constexpr char kStreetJoin[] = ";";

// True when prefecture, city and street are all empty (a blank counts as text).
bool HoldsNoAddress(const AddressEntry& values);

// Prefecture, city and street become the found ones.
void FillAddress(AddressEntry& values, const PostalAddress& found);

// The values of the confirmation dialog, in the dialog's member order.
struct AddressUpdate {
    std::string rewriteStreet;  // street for choice 0: the found one
    std::string appendStreet;   // street for choice 1: found, ";", old
    std::string postalLine;     // "〒 " and the code as NNN-NNNN
    std::int32_t choice = kRewriteAll;
    std::string newPrefecture;
    std::string newCity;
    std::string newStreetShown;  // what OK would apply under the current choice
    std::string oldPrefecture;
    std::string oldCity;
    std::string oldStreet;
};

// Sets the old address beside the found one; the dialog starts on "rewrite all". The top line
// shows the seven digits found as NNN-NNNN, whatever form they were typed in.
AddressUpdate PrepareAddressUpdate(const AddressEntry& values, const PostalAddress& found,
                                   std::string_view sevenDigits);

// The two radio buttons: switch the choice and the street shown with it.
void ChooseRewriteAll(AddressUpdate& update);
void ChooseAppendOldStreet(AddressUpdate& update);

// Applies a confirmed update to the page's values. A choice outside the radio group (no button
// checked) applies nothing, since the user has chosen neither way.
void ApplyAddressUpdate(const AddressUpdate& update, AddressEntry& values);

}  // namespace marupo
