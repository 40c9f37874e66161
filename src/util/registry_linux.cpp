// Linux has no registry: nothing can be opened or created.
#include "util/registry.h"

namespace zt {

namespace {
class NoRegistry : public IRegistry {
 public:
  std::unique_ptr<IRegistryKey> OpenKey(RegRoot, const std::string&, RegAccess) override {
    return nullptr;
  }
  std::unique_ptr<IRegistryKey> CreateKey(RegRoot, const std::string&) override { return nullptr; }
  bool HasOtherView() override { return false; }
};
}  // namespace

ZT_SEAM_REAL(IRegistry, NoRegistry)

}  // namespace zt
