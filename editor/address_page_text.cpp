#include "editor/address_page_text.h"

#include "entry/contact_label.h"

namespace marupo::editor {

std::string RadioCaption(std::int32_t labelIndex) {
    std::string caption(ContactLabelName(labelIndex));
    caption += ':';
    return caption;
}

std::string PrimaryLine(const AddressEntry& entry, const std::string& suffix) {
    if (entry.primarySlot < 0 || entry.primarySlot >= kContactSlotCount) return {};
    const auto& slot = entry.contactSlots[static_cast<std::size_t>(entry.primarySlot)];
    std::string line = "\x81\x75";  // 「
    line += ContactLabelName(slot.labelIndex);
    line += "\x81\x76 ";  // 」 and one blank
    line += suffix;
    return line;
}

bool AppendReading(AddressEntry& entry, std::int32_t target, const std::string& reading) {
    switch (target) {
        case kReadingSurname:
            entry.surnameReading += reading;
            return true;
        case kReadingGivenName:
            entry.givenNameReading += reading;
            return true;
        case kReadingCompany:
            entry.companyReading += reading;
            return true;
        default:
            return false;
    }
}

}  // namespace marupo::editor
