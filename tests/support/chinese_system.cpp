// Every unit-test program runs on a system that speaks Chinese (mainland),
// whatever the machine or Wine prefix speaks; a test that needs another
// system puts its own FakeSystemLanguage over this one.
#include "support/fake_system_language.h"

namespace zt {
namespace {

FakeSystemLanguage chinese_system(0x0804);
const ScopedOverride<ISystemLanguage> speaks_chinese(chinese_system);

}  // namespace
}  // namespace zt
