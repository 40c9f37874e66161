// A recorded Pentium III pair: the first processor has its serial number on,
// leaf-2 caches and no brand text; the second has its serial number off and
// another stepping.  Two processors, so that page paths name "#0" and "#1".
#pragma once

namespace zt::test {

inline constexpr char kPentiumIIIPair[] =
    "------[ Logical CPU #0 ]------\n"
    "CPUID 00000000: 00000003-756E6547-6C65746E-49656E69\n"
    "CPUID 00000001: 00000683-00000002-00000000-0387FBFF\n"
    "CPUID 00000002: 03020101-00000000-00000000-0C040882\n"
    "CPUID 00000003: 00000000-00000000-8A2B1C3D-00017F4E\n"
    "------[ Logical CPU #1 ]------\n"
    "CPUID 00000000: 00000003-756E6547-6C65746E-49656E69\n"
    "CPUID 00000001: 00000686-00000002-00000000-0383FBFF\n"
    "CPUID 00000002: 03020101-00000000-00000000-0C040882\n"
    "CPUID 00000003: 00000000-00000000-00000000-00000000\n";

}  // namespace zt::test
