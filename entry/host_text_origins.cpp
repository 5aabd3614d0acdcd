#include "entry/host_text_origins.h"

#include <stdexcept>
#include <utility>

namespace marupo {

std::size_t HostTextOrigins::Index(HostTextField field) {
    const auto index = static_cast<std::size_t>(field);
    // An out-of-range id is a programming error; fail loudly instead of writing past the table.
    return index < static_cast<std::size_t>(HostTextField::kCount)
               ? index
               : throw std::out_of_range("field");
}

void HostTextOrigins::Record(HostTextField field, std::string ansi, std::u16string hostText) {
    origins_[Index(field)] = Origin{std::move(ansi), std::move(hostText)};
}

const std::u16string* HostTextOrigins::Original(HostTextField field,
                                                std::string_view currentAnsi) const {
    const auto& origin = origins_[Index(field)];
    return origin && origin->ansi == currentAnsi ? &origin->host : nullptr;
}

void HostTextOrigins::CopyOrigin(HostTextField from, HostTextField to) {
    origins_[Index(to)] = origins_[Index(from)];
}

void HostTextOrigins::Forget(HostTextField field) {
    origins_[Index(field)].reset();
}

}  // namespace marupo
