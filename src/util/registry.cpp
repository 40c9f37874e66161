#include "util/registry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace zt {

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

class FakeKey : public IRegistryKey {
 public:
  FakeKey(FakeRegistry::Key& key, bool writable) : key_(key), writable_(writable) {}

  std::optional<std::vector<uint8_t>> ReadBinary(const std::string& name) override {
    ++key_.reads;
    auto it = key_.values.find(Lower(name));
    if (it == key_.values.end()) return std::nullopt;
    return it->second.bytes;
  }
  std::optional<std::string> ReadString(const std::string& name) override {
    ++key_.reads;
    auto it = key_.values.find(Lower(name));
    if (it == key_.values.end() || it->second.kind != FakeRegistry::Value::String)
      return std::nullopt;
    return std::string(it->second.bytes.begin(), it->second.bytes.end());
  }
  std::optional<uint32_t> ReadDword(const std::string& name) override {
    ++key_.reads;
    auto it = key_.values.find(Lower(name));
    if (it == key_.values.end() || it->second.kind != FakeRegistry::Value::Dword ||
        it->second.bytes.size() != 4)
      return std::nullopt;
    uint32_t v;
    std::memcpy(&v, it->second.bytes.data(), 4);
    return v;
  }
  bool WriteString(const std::string& name, const std::string& utf8) override {
    if (!writable_ || key_.read_only) return false;
    FakeRegistry::Value v;
    v.kind = FakeRegistry::Value::String;
    v.bytes.assign(utf8.begin(), utf8.end());
    key_.values[Lower(name)] = v;
    return true;
  }
  bool WriteDword(const std::string& name, uint32_t value) override {
    if (!writable_ || key_.read_only) return false;
    FakeRegistry::Value v;
    v.kind = FakeRegistry::Value::Dword;
    v.bytes.resize(4);
    std::memcpy(v.bytes.data(), &value, 4);
    key_.values[Lower(name)] = v;
    return true;
  }
  bool DeleteValue(const std::string& name) override {
    if (!writable_ || key_.read_only) return false;
    return key_.values.erase(Lower(name)) > 0;
  }

 private:
  FakeRegistry::Key& key_;
  bool writable_;
};

}  // namespace

std::string FakeRegistry::Normalize(RegRoot root, const std::string& path) {
  return std::to_string(static_cast<int>(root)) + ":" + Lower(path);
}

std::unique_ptr<IRegistryKey> FakeRegistry::OpenKey(RegRoot root, const std::string& path,
                                                    RegAccess access) {
  RegStatus status;
  return OpenKeyWithStatus(root, path, access, status);
}

std::unique_ptr<IRegistryKey> FakeRegistry::OpenKeyWithStatus(RegRoot root,
                                                              const std::string& path,
                                                              RegAccess access,
                                                              RegStatus& status) {
  auto it = keys_.find(Normalize(root, path));
  if (it == keys_.end()) {
    status = RegStatus::NotFound;
  } else if (it->second.unopenable) {
    status = RegStatus::Failed;
  } else if (access == RegAccess::AllAccess && it->second.read_only) {
    status = RegStatus::AccessDenied;
  } else {
    status = RegStatus::Ok;
    return std::make_unique<FakeKey>(it->second, access == RegAccess::AllAccess);
  }
  return nullptr;
}

std::unique_ptr<IRegistryKey> FakeRegistry::CreateKey(RegRoot root, const std::string& path) {
  auto name = Normalize(root, path);
  auto it = keys_.find(name);
  if (it == keys_.end()) {
    if (refuse_create) return nullptr;
    it = keys_.emplace(name, Key{}).first;
  }
  if (it->second.unopenable || it->second.read_only) return nullptr;
  return std::make_unique<FakeKey>(it->second, true);
}

FakeRegistry::Key& FakeRegistry::At(RegRoot root, const std::string& path) {
  return keys_[Normalize(root, path)];
}

bool FakeRegistry::HasKey(RegRoot root, const std::string& path) const {
  return keys_.count(Normalize(root, path)) != 0;
}

}  // namespace zt
