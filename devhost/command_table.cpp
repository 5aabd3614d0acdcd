// IDesktopCommandTable: where add-ins register their commands and Address-menu items.
#include <cstdio>
#include <utility>

#include "devhost/host_object.h"
#include "devhost/host_objects.h"
#include "devhost/text_codec.h"

namespace marupo::devhost {
namespace {

using Microsoft::WRL::ComPtr;

std::string RenderHandle(LONG_PTR handle) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(handle));
    return text;
}

class CommandTable final : public HostObject<IDesktopCommandTable> {
  public:
    using HostObject::HostObject;

    HRESULT STDMETHODCALLTYPE AddCommand(long cookie, BSTR name, IDesktopCommand* command,
                                         long* commandId) override {
        HostCall call = Call("AddCommand");
        call.Arg(cookie).Arg(name).ArgText(command != nullptr ? "IDesktopCommand" : "null");
        if (commandId == nullptr) return call.Fail(E_POINTER, u"出力先のポインタが NULL です。");
        *commandId = 0;
        if (call.Injected()) return call.InjectedResult();
        if (command == nullptr) return call.Fail(E_POINTER, u"コマンド オブジェクトがありません。");
        if (SysStringLen(name) == 0) return call.Fail(E_INVALIDARG, u"コマンド名が空です。");
        RegisteredCommand entry;
        entry.id = state_->nextCommandId++;
        entry.cookie = cookie;
        entry.name = FromBstr(name);
        entry.command = command;
        state_->commands.push_back(std::move(entry));
        *commandId = state_->commands.back().id;
        return call.Succeed(std::to_string(*commandId));
    }

    HRESULT STDMETHODCALLTYPE AddMenuItem(long commandId, LONG_PTR moduleHandle, long bitmapId,
                                          BSTR menuText, long flag) override {
        HostCall call = Call("AddMenuItem");
        call.Arg(commandId)
            .ArgText(RenderHandle(moduleHandle))
            .Arg(bitmapId)
            .Arg(menuText)
            .Arg(flag);
        if (call.Injected()) return call.InjectedResult();
        if (state_->FindCommand(commandId) == nullptr) {
            return call.Fail(E_INVALIDARG,
                             u"コマンド ID " + ToU16(commandId) + u" は登録されていません。");
        }
        if (SysStringLen(menuText) == 0)
            return call.Fail(E_INVALIDARG, u"メニューの文字列が空です。");
        // The bitmap is loaded from the module handle as given: a handle cut to 32 bits on a
        // 64-bit host fails here instead of showing a menu item without its picture.
        win::UniqueBitmap image(static_cast<HBITMAP>(
            LoadImageW(reinterpret_cast<HINSTANCE>(moduleHandle), MAKEINTRESOURCEW(bitmapId),
                       IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR | LR_LOADMAP3DCOLORS)));
        if (!image) {
            return call.Fail(E_INVALIDARG, u"ビットマップ " + ToU16(bitmapId) +
                                               u" をモジュールから読み込めません。");
        }
        RegisteredMenuItem item;
        item.commandId = commandId;
        item.text = FromBstr(menuText);
        item.moduleHandle = moduleHandle;
        item.bitmapId = bitmapId;
        item.flag = flag;
        item.bitmap = std::make_shared<win::UniqueBitmap>(std::move(image));
        state_->menuItems.push_back(std::move(item));
        state_->NotifyMenuChanged();
        return call.Succeed();
    }

  private:
    static std::u16string ToU16(long value) {
        std::string digits = std::to_string(value);
        return std::u16string(digits.begin(), digits.end());
    }
};

}  // namespace

ComPtr<IDesktopCommandTable> CreateCommandTable(std::shared_ptr<HostState> state) {
    return CommandTable::Make<CommandTable, IDesktopCommandTable>(std::move(state));
}

}  // namespace marupo::devhost
