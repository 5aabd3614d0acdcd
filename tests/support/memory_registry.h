#pragma once
// A registry held in memory for the script engine's tests and fuzzing: key and value names
// compare case-insensitively and keep the case they were created with; a name ends at its first
// NUL, and an empty key name stands for the key itself; an open key whose key was deleted
// refuses further use, as the real registry does.

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "registrar/ascii_case.h"
#include "registrar/registry.h"

namespace marupo::testing {

class MemoryRegistry final : public registrar::Registry {
  public:
    static constexpr registrar::RegistryStatus kAccessDenied = 5;
    static constexpr registrar::RegistryStatus kKeyDeleted = 1018;

    struct Subkey;
    struct NamedValue {
        std::wstring name;
        registrar::RegistryValue value;
    };
    struct Node {
        std::vector<Subkey> subkeys;
        std::vector<NamedValue> values;
    };
    struct Subkey {
        std::wstring name;
        Node node;
    };

    registrar::RegistryStatus OpenRoot(registrar::RootKey root,
                                       std::unique_ptr<registrar::RegistryKey>& key) override {
        key = std::make_unique<Key>(*this, root, std::vector<std::wstring>{});
        return registrar::kRegistryOk;
    }

    // Creating, writing or deleting anything of this name fails with kAccessDenied.
    void Refuse(std::wstring name) { refused_ = std::move(name); }

    Node& Root(registrar::RootKey root) { return roots_[static_cast<std::size_t>(root)]; }

    // Every key as "HKCR\a\b" and every value as "HKCR\a\b @name = s:text" ("@" alone for the
    // default value), sorted, for comparing whole registries.
    std::vector<std::wstring> Dump() const {
        static const wchar_t* const kRootNames[] = {L"HKCR", L"HKCU", L"HKLM", L"HKU",
                                                    L"HKPD", L"HKDD", L"HKCC"};
        std::vector<std::wstring> lines;
        for (std::size_t i = 0; i < roots_.size(); ++i) DumpNode(roots_[i], kRootNames[i], lines);
        std::sort(lines.begin(), lines.end());
        return lines;
    }

  private:
    bool Refuses(const std::wstring& name) const {
        return !refused_.empty() && registrar::EqualsIgnoringCase(name, refused_);
    }

    template <typename Items>
    static auto Find(Items& items, const std::wstring& name) -> decltype(items.begin()) {
        return std::find_if(items.begin(), items.end(), [&name](const auto& item) {
            return registrar::EqualsIgnoringCase(item.name, name);
        });
    }

    class Key final : public registrar::RegistryKey {
      public:
        Key(MemoryRegistry& registry, registrar::RootKey root, std::vector<std::wstring> path)
            : registry_(registry), root_(root), path_(std::move(path)) {}

        registrar::RegistryStatus OpenOrCreate(
            const std::wstring& fullName, std::unique_ptr<registrar::RegistryKey>& key) override {
            const std::wstring name = Stored(fullName);
            Node* node = Resolve();
            if (node == nullptr) return kKeyDeleted;
            if (registry_.Refuses(name)) return kAccessDenied;
            if (name.empty()) return Reopen(key);
            if (Find(node->subkeys, name) == node->subkeys.end())
                node->subkeys.push_back(Subkey{name, {}});
            key = Child(name);
            return registrar::kRegistryOk;
        }
        registrar::RegistryStatus OpenExisting(
            const std::wstring& fullName, std::unique_ptr<registrar::RegistryKey>& key) override {
            const std::wstring name = Stored(fullName);
            Node* node = Resolve();
            if (node == nullptr) return kKeyDeleted;
            if (name.empty()) return Reopen(key);
            if (Find(node->subkeys, name) == node->subkeys.end())
                return registrar::kRegistryNotFound;
            key = Child(name);
            return registrar::kRegistryOk;
        }
        registrar::RegistryStatus DeleteTree(const std::wstring& name) override {
            return Erase(name, false);
        }
        registrar::RegistryStatus DeleteEmpty(const std::wstring& name) override {
            return Erase(name, true);
        }
        registrar::RegistryStatus HasSubkeys(bool& has) override {
            Node* node = Resolve();
            if (node == nullptr) return kKeyDeleted;
            has = !node->subkeys.empty();
            return registrar::kRegistryOk;
        }
        registrar::RegistryStatus SetValue(const std::wstring& fullName,
                                           const registrar::RegistryValue& value) override {
            const std::wstring name = Stored(fullName);
            Node* node = Resolve();
            if (node == nullptr) return kKeyDeleted;
            if (registry_.Refuses(name)) return kAccessDenied;
            const auto found = Find(node->values, name);
            if (found == node->values.end()) {
                node->values.push_back(NamedValue{name, value});
            } else {
                found->value = value;
            }
            return registrar::kRegistryOk;
        }
        registrar::RegistryStatus DeleteValue(const std::wstring& fullName) override {
            const std::wstring name = Stored(fullName);
            Node* node = Resolve();
            if (node == nullptr) return kKeyDeleted;
            if (registry_.Refuses(name)) return kAccessDenied;
            const auto found = Find(node->values, name);
            if (found == node->values.end()) return registrar::kRegistryNotFound;
            node->values.erase(found);
            return registrar::kRegistryOk;
        }

      private:
        registrar::RegistryStatus Erase(const std::wstring& fullName, bool onlyEmpty) {
            const std::wstring name = Stored(fullName);
            Node* node = Resolve();
            if (node == nullptr) return kKeyDeleted;
            if (registry_.Refuses(name)) return kAccessDenied;
            if (name.empty()) return EraseSelf(*node, onlyEmpty);
            const auto found = Find(node->subkeys, name);
            if (found == node->subkeys.end()) return registrar::kRegistryNotFound;
            if (onlyEmpty && !found->node.subkeys.empty()) return kAccessDenied;
            node->subkeys.erase(found);
            return registrar::kRegistryOk;
        }
        // Deleting the tree of the empty name empties the key; deleting the key itself needs
        // it to be empty and not a root.
        registrar::RegistryStatus EraseSelf(Node& node, bool onlyEmpty) {
            if (!onlyEmpty) {
                node = Node{};
                return registrar::kRegistryOk;
            }
            if (path_.empty() || !node.subkeys.empty()) return kAccessDenied;
            std::vector<std::wstring> parentPath(path_.begin(), path_.end() - 1);
            return Key(registry_, root_, std::move(parentPath)).Erase(path_.back(), true);
        }
        registrar::RegistryStatus Reopen(std::unique_ptr<registrar::RegistryKey>& key) const {
            key = std::make_unique<Key>(registry_, root_, path_);
            return registrar::kRegistryOk;
        }
        static std::wstring Stored(const std::wstring& name) {
            return name.substr(0, name.find(L'\0'));
        }
        Node* Resolve() const {
            Node* node = &registry_.Root(root_);
            for (const std::wstring& name : path_) {
                const auto found = Find(node->subkeys, name);
                if (found == node->subkeys.end()) return nullptr;
                node = &found->node;
            }
            return node;
        }
        std::unique_ptr<registrar::RegistryKey> Child(const std::wstring& name) const {
            std::vector<std::wstring> path = path_;
            path.push_back(name);
            return std::make_unique<Key>(registry_, root_, std::move(path));
        }

        MemoryRegistry& registry_;
        registrar::RootKey root_;
        std::vector<std::wstring> path_;
    };

    static std::wstring ValueText(const registrar::RegistryValue& value) {
        switch (value.type) {
            case registrar::ValueType::kString:
                return L"s:" + value.text;
            case registrar::ValueType::kDword:
                return L"d:" + std::to_wstring(value.number);
            case registrar::ValueType::kBinary:
                break;
        }
        std::wstring text = L"b:";
        for (const std::uint8_t byte : value.bytes) {
            wchar_t pair[3];
            std::swprintf(pair, 3, L"%02x", byte);
            text += pair;
        }
        return text;
    }

    static void DumpNode(const Node& node, const std::wstring& path,
                         std::vector<std::wstring>& lines) {
        for (const NamedValue& value : node.values)
            lines.push_back(path + L" @" + value.name + L" = " + ValueText(value.value));
        for (const Subkey& subkey : node.subkeys) {
            lines.push_back(path + L"\\" + subkey.name);
            DumpNode(subkey.node, path + L"\\" + subkey.name, lines);
        }
    }

    std::array<Node, 7> roots_;
    std::wstring refused_;
};

}  // namespace marupo::testing
