// In-memory registry for tests.  Paths match without regard to case, as on
// Windows.  Keys can be marked read-only (opening them for writing is
// refused: AccessDenied) or unopenable (they cannot be opened at all, for
// some other reason: Failed) to test failures; one_view models 32-bit Windows.
//
//   FakeRegistry registry;
//   ScopedOverride<IRegistry> use(registry);
#pragma once

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "util/registry.h"

namespace zt {

class FakeRegistry : public IRegistry {
 public:
  struct Value {
    enum Kind { String, Dword, Binary } kind = Binary;
    std::vector<uint8_t> bytes;  // String: UTF-8 text; Dword: 4 bytes little-endian
  };
  struct Key {
    std::map<std::string, Value> values;  // lower-cased names
    bool read_only = false;
    bool unopenable = false;
    int reads = 0;  // value reads through this key, for tests that count them
  };

  std::unique_ptr<IRegistryKey> OpenKey(RegRoot root, const std::string& path, RegAccess access) override {
    RegStatus status;
    return OpenKeyWithStatus(root, path, access, status);
  }
  std::unique_ptr<IRegistryKey> OpenKeyWithStatus(RegRoot root, const std::string& path, RegAccess access,
                                                  RegStatus& status) override {
    auto it = keys_.find(Normalize(root, path));
    if (it == keys_.end()) {
      status = RegStatus::NotFound;
    } else if (it->second.unopenable) {
      status = RegStatus::Failed;
    } else if (access == RegAccess::AllAccess && it->second.read_only) {
      status = RegStatus::AccessDenied;
    } else {
      status = RegStatus::Ok;
      return std::make_unique<OpenedKey>(it->second, access == RegAccess::AllAccess);
    }
    return nullptr;
  }
  std::unique_ptr<IRegistryKey> CreateKey(RegRoot root, const std::string& path) override {
    const std::string name = Normalize(root, path);
    auto it = keys_.find(name);
    if (it == keys_.end()) {
      if (refuse_create) return nullptr;
      it = keys_.emplace(name, Key{}).first;
    }
    if (it->second.unopenable || it->second.read_only) return nullptr;
    return std::make_unique<OpenedKey>(it->second, true);
  }
  bool HasOtherView() override { return !one_view; }

  // Direct access for tests (creates the key on demand).
  Key& At(RegRoot root, const std::string& path) { return keys_[Normalize(root, path)]; }
  bool HasKey(RegRoot root, const std::string& path) const { return keys_.count(Normalize(root, path)) != 0; }
  // A DWORD value as the system stores it (little-endian), whatever the key's locks.
  void PutDword(RegRoot root, const std::string& path, const std::string& name, uint32_t v) {
    Value value;
    value.kind = Value::Dword;
    for (int i = 0; i < 4; ++i) value.bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    At(root, path).values[Lower(name)] = value;
  }
  bool refuse_create = false;
  bool one_view = false;

 private:
  static std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
  }
  std::string Normalize(RegRoot root, const std::string& path) const {
    if (one_view && root == RegRoot::LocalMachineOtherView) root = RegRoot::LocalMachine;
    return std::to_string(static_cast<int>(root)) + ":" + Lower(path);
  }

  class OpenedKey : public IRegistryKey {
   public:
    OpenedKey(Key& key, bool writable) : key_(key), writable_(writable) {}

    std::optional<std::vector<uint8_t>> ReadBinary(const std::string& name) override {
      const Value* v = Find(name);
      if (!v) return std::nullopt;
      return v->bytes;
    }
    std::optional<std::string> ReadString(const std::string& name) override {
      const Value* v = Find(name);
      if (!v || v->kind != Value::String) return std::nullopt;
      return std::string(v->bytes.begin(), v->bytes.end());
    }
    std::optional<uint32_t> ReadDword(const std::string& name) override {
      const Value* v = Find(name);
      if (!v || v->kind != Value::Dword || v->bytes.size() != 4) return std::nullopt;
      uint32_t value;
      std::memcpy(&value, v->bytes.data(), 4);
      return value;
    }
    bool WriteString(const std::string& name, const std::string& utf8) override {
      Value v;
      v.kind = Value::String;
      v.bytes.assign(utf8.begin(), utf8.end());
      return Store(name, std::move(v));
    }
    bool WriteDword(const std::string& name, uint32_t value) override {
      Value v;
      v.kind = Value::Dword;
      v.bytes.resize(4);
      std::memcpy(v.bytes.data(), &value, 4);
      return Store(name, std::move(v));
    }
    bool DeleteValue(const std::string& name) override {
      if (!writable_ || key_.read_only) return false;
      return key_.values.erase(Lower(name)) > 0;
    }

   private:
    const Value* Find(const std::string& name) {
      ++key_.reads;
      auto it = key_.values.find(Lower(name));
      return it == key_.values.end() ? nullptr : &it->second;
    }
    bool Store(const std::string& name, Value v) {
      if (!writable_ || key_.read_only) return false;
      key_.values[Lower(name)] = std::move(v);
      return true;
    }
    Key& key_;
    bool writable_;
  };

  std::map<std::string, Key> keys_;
};

}  // namespace zt
