#include "tests/support/dialog_template.h"

#include <cstdlib>
#include <cstring>

namespace marupo::testing {
namespace {

// A bounds-checked cursor over the template's bytes; offsets count from the template's start,
// which is what the DWORD alignment of the control entries refers to.
class Reader {
  public:
    Reader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    bool Ok() const { return ok_; }

    template <typename T>
    T Read() {
        T value{};
        if (!ok_ || size_ - pos_ < sizeof(T)) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, data_ + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }

    void Skip(std::size_t bytes) {
        if (!ok_ || size_ - pos_ < bytes) {
            ok_ = false;
            return;
        }
        pos_ += bytes;
    }

    void AlignToDword() { Skip((4 - pos_ % 4) % 4); }

    std::wstring String() {
        std::wstring text;
        for (;;) {
            auto c = Read<std::uint16_t>();
            if (!ok_ || c == 0) return text;
            text.push_back(static_cast<wchar_t>(c));
        }
    }

    // A "sz_Or_Ord" field: empty (0x0000), an ordinal (0xFFFF, number) or a string.
    std::wstring StringOrOrdinal(std::uint16_t* ordinal = nullptr) {
        if (ordinal != nullptr) *ordinal = 0;
        if (!ok_ || size_ - pos_ < 2) {
            ok_ = false;
            return {};
        }
        std::uint16_t first;
        std::memcpy(&first, data_ + pos_, 2);
        if (first == 0xFFFF) {
            Skip(2);
            auto number = Read<std::uint16_t>();
            if (ordinal != nullptr) *ordinal = number;
            return L"#" + std::to_wstring(number);
        }
        return String();
    }

  private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

// The predefined classes under one spelling: resource compilers store them as ordinals or as
// names in any case ("BUTTON"), and class names are compared without case by the system.
std::wstring PredefinedClass(std::uint16_t ordinal, const std::wstring& asRead) {
    static const wchar_t* const kNames[] = {L"Button",  L"Edit",      L"Static",
                                            L"ListBox", L"ScrollBar", L"ComboBox"};
    if (ordinal >= 0x0080 && ordinal <= 0x0085) return kNames[ordinal - 0x0080];
    for (const wchar_t* name : kNames) {
        if (_wcsicmp(name, asRead.c_str()) == 0) return name;
    }
    return asRead;
}

void ReadFrame(Reader& in, DialogTemplate& dialog, std::uint16_t& count) {
    count = in.Read<std::uint16_t>();
    dialog.x = in.Read<std::int16_t>();
    dialog.y = in.Read<std::int16_t>();
    dialog.cx = in.Read<std::int16_t>();
    dialog.cy = in.Read<std::int16_t>();
    dialog.menu = in.StringOrOrdinal();
    dialog.windowClass = in.StringOrOrdinal();
    dialog.caption = in.String();
    if ((dialog.style & (DS_SETFONT | DS_SHELLFONT)) != 0) {
        dialog.hasFont = true;
        dialog.fontPointSize = in.Read<std::uint16_t>();
        if (dialog.extended) {
            dialog.fontWeight = in.Read<std::uint16_t>();
            dialog.fontItalic = in.Read<std::uint8_t>() != 0;
            dialog.fontCharset = in.Read<std::uint8_t>();
        }
        dialog.fontName = in.String();
    }
}

void ReadControlTail(Reader& in, DialogControl& control) {
    std::uint16_t ordinal = 0;
    std::wstring cls = in.StringOrOrdinal(&ordinal);
    control.className = PredefinedClass(ordinal, cls);
    control.text = in.StringOrOrdinal();
    auto extra = in.Read<std::uint16_t>();
    in.Skip(extra);
}

}  // namespace

const DialogControl* DialogTemplate::Find(int id) const {
    for (const auto& control : controls) {
        if (control.id == id) return &control;
    }
    return nullptr;
}

std::optional<DialogTemplate> ParseDialogTemplate(const void* data, std::size_t size) {
    if (data == nullptr) return std::nullopt;
    Reader in(static_cast<const unsigned char*>(data), size);
    DialogTemplate dialog;
    std::uint16_t count = 0;
    auto version = in.Read<std::uint16_t>();
    auto signature = in.Read<std::uint16_t>();
    if (in.Ok() && version == 1 && signature == 0xFFFF) {
        dialog.extended = true;
        in.Read<std::uint32_t>();  // help id
        dialog.exStyle = in.Read<std::uint32_t>();
        dialog.style = in.Read<std::uint32_t>();
    } else {
        Reader plain(static_cast<const unsigned char*>(data), size);
        in = plain;
        dialog.style = in.Read<std::uint32_t>();
        dialog.exStyle = in.Read<std::uint32_t>();
    }
    ReadFrame(in, dialog, count);
    for (std::uint16_t i = 0; i < count && in.Ok(); ++i) {
        in.AlignToDword();
        DialogControl control;
        if (dialog.extended) {
            in.Read<std::uint32_t>();  // help id
            control.exStyle = in.Read<std::uint32_t>();
            control.style = in.Read<std::uint32_t>();
        } else {
            control.style = in.Read<std::uint32_t>();
            control.exStyle = in.Read<std::uint32_t>();
        }
        control.x = in.Read<std::int16_t>();
        control.y = in.Read<std::int16_t>();
        control.cx = in.Read<std::int16_t>();
        control.cy = in.Read<std::int16_t>();
        // Extended templates hold a 32-bit id, classic ones a 16-bit one; -1 either way for the
        // unnamed controls.
        control.id = dialog.extended ? static_cast<std::int32_t>(in.Read<std::uint32_t>())
                                     : in.Read<std::int16_t>();
        ReadControlTail(in, control);
        dialog.controls.push_back(std::move(control));
    }
    if (!in.Ok()) return std::nullopt;
    return dialog;
}

ResourceModule::ResourceModule(const std::wstring& path) {
    module_ = LoadLibraryExW(path.c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}

ResourceModule::~ResourceModule() {
    if (module_ != nullptr) FreeLibrary(module_);
}

std::optional<DialogTemplate> LoadDialogTemplate(HMODULE module, int id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
    if (found == nullptr) return std::nullopt;
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) return std::nullopt;
    return ParseDialogTemplate(data, SizeofResource(module, found));
}

std::wstring ShippedDllPath() {
    std::wstring path = L"" MARUPO_SOURCE_DIR "/build/win32/Marupo.dll";
    if (const wchar_t* fromEnvironment = _wgetenv(L"MARUPO_WIN32_DLL");
        fromEnvironment != nullptr && *fromEnvironment != L'\0') {
        path = fromEnvironment;
    }
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (auto& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

}  // namespace marupo::testing
