// Feature sets: the 32 bits of one feature register, each a defined feature
// or the "RES" placeholder.  A set's definition takes the generic rows of the
// feature table and lets the vendor's own rows override them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "cpuid/interfaces.h"

namespace zt::cpuid {

// Kinds a row belongs to: bit k for kind k.
inline constexpr uint8_t KindBit(TCpuFeatureKind kind) { return static_cast<uint8_t>(1u << kind); }

struct TFeatureDetail {
  uint8_t bit;
  const char* short_name;
  const char* description;
  uint8_t family;  // 0 generic, 2 AMD-style vendors, 3 Cyrix
  uint8_t kinds;
};

namespace feature_kinds {
inline constexpr uint8_t k1 = KindBit(1);
inline constexpr uint8_t k2 = KindBit(2);
inline constexpr uint8_t k3 = KindBit(3);
inline constexpr uint8_t k4 = KindBit(4);
inline constexpr uint8_t k13 = KindBit(1) | KindBit(3);
}  // namespace feature_kinds

// The feature table; a row's position is the feature's table index.
inline constexpr std::array<TFeatureDetail, 48> kFeatureTable = [] {
  using namespace feature_kinds;
  return std::array<TFeatureDetail, 48>{{
      {0, "FPU", "Floating point unit", 0, k13},                                // 0
      {0, "TS", "Temperature Sensor", 2, k4},                                   // 1
      {1, "VME", "Virtual mode extension", 0, k13},                             // 2
      {1, "FID", "Frequency Id Control", 2, k4},                                // 3
      {2, "DE", "Debugging extensions", 0, k13},                                // 4
      {2, "VID", "Voltage Id Control", 2, k4},                                  // 5
      {3, "PSE", "Page size extension", 0, k13},                                // 6
      {3, "TPP", "Thermal Trip", 2, k4},                                        // 7
      {4, "TSC", "Time stamp counter", 0, k13},                                 // 8
      {4, "TM", "Thermal monitor support", 2, k4},                              // 9
      {5, "MSR", "Machine specific registers", 0, k13},                         // 10
      {5, "STC", "Software Thermal Control", 2, k4},                            // 11
      {6, "PAE", "Physical address exception", 0, k13},                         // 12
      {7, "MCE", "Machine check exception", 0, k13},                            // 13
      {7, "TM2", "Thermal Monitor 2", 0, k2},                                   // 14
      {8, "CX8", "CMPXCHG8 instrucion support", 0, k13},                        // 15
      {8, "EST", "Enhanced SpeedStep Technology", 0, k2},                       // 16
      {9, "APIC", "APIC hardware support", 0, k13},                             // 17
      {10, "CID", "Context Id", 0, k2},                                         // 18
      {11, "SEP", "Fast system call", 0, k13},                                  // 19
      {12, "MTRR", "Memory type range registers", 0, k13},                      // 20
      {13, "PGE", "Page global enable", 0, k13},                                // 21
      {14, "MCA", "Machine check architecture", 0, k13},                        // 22
      {15, "CMOV", "Conditional move support", 0, k13},                         // 23
      {16, "PAT", "Page attribute table", 0, k13},                              // 24
      {17, "PSE36", "36-bit page size extension", 0, k1},                       // 25
      {18, "PSN", "Processor serial number", 0, k1},                            // 26
      {19, "CLFSH", "CLFLUSH instruction support", 0, k13},                     // 27
      {19, "MP", "Multi processor enabled", 2, k3},                             // 28
      {20, "NX", "No Execute Page Protections", 2, k3},                         // 29
      {20, "NX", "No Execute Page Protections", 3, k3},                         // 30
      {21, "DTES", "Debug trace and EMON store MSR", 0, k1},                    // 31
      {22, "ACPI", "Thermal monitor and software controlled clock", 0, k1},     // 32
      {22, "MMX+", "Extended MMX architecture", 2, k3},                         // 33
      {23, "MMX", "MMX architecture support", 0, k13},                          // 34
      {24, "FXSR", "Fast floating point save", 0, k13},                         // 35
      {24, "MMX+", "Extended MMX architecture", 3, k3},                         // 36
      {25, "SSE", "Streaming SIMD instruction support", 0, k1},                 // 37
      {26, "SSE2", "Streaming SIMD extensions 2", 0, k1},                       // 38
      {27, "SS", "Self snoop", 0, k1},                                          // 39
      {28, "HTT", "Hyper-Threading technology", 0, k1},                         // 40
      {29, "TM", "Thermal monitor support", 0, k1},                             // 41
      {29, "LM", "AA-64 Long mode", 2, k3},                                     // 42
      {29, "LM", "AA-64 Long mode", 3, k3},                                     // 43
      {30, "IA-64", "IA-64", 0, k1},                                            // 44
      {30, "3DNOW+", "Extended 3DNow! extensions", 2, k3},                      // 45
      {31, "SBF", "Signal break on FERR", 0, k1},                               // 46
      {31, "3DNOW", "3DNow! extensions", 2, k3},                                // 47
  }};
}();
static_assert(kFeatureTable.size() == 48, "the feature table has 48 rows");

inline constexpr const char* kUnknownFeatureName = "RES";
inline constexpr const char* kUnknownFeatureDescription = "Reserved or unused";

// The 32 slots of a definition: table index per bit, 255 when no row
// defines the bit.  Pure form of the two passes, for a vendor feature family.
std::array<uint8_t, 32> BuildFeatureSlots(TCpuFeatureKind kind, uint8_t feature_family);

// The kind a short name belongs to (its first row's lowest kind), 0 if none.
TCpuFeatureKind FeatureKindOfName(const std::string& name);

class TFeatureSetDefinition final : public IFeatureSetDefinition {
 public:
  TFeatureSetDefinition(uint8_t processor, TCpuFeatureKind kind);
  uint8_t IndexOfName(const std::string& name) const override;
  std::shared_ptr<ICpuNumber> Count() const override;
  // Table index of the row defining `bit`, 255 when empty (or bit > 31).
  uint8_t SlotIndex(uint8_t bit) const { return bit < 32 ? slots_[bit] : kNoFeature; }

 private:
  uint8_t processor_;
  TCpuFeatureKind kind_;
  uint8_t feature_family_;
  std::array<uint8_t, 32> slots_;
  int32_t count_;
};

class TCpuFeature final : public ICpuFeature {
 public:
  TCpuFeature(uint8_t processor, uint8_t table_index, TCpuFeatureKind kind)
      : processor_(processor), table_index_(table_index), kind_(kind) {}
  uint8_t BitIndex() const override;
  std::string ShortName() const override;
  std::string Description() const override;
  std::shared_ptr<ICpuBoolean> Available() const override;

 private:
  uint8_t processor_;
  uint8_t table_index_;
  TCpuFeatureKind kind_;
};

class TUnknownFeature final : public ICpuFeature {
 public:
  uint8_t BitIndex() const override { return kNoFeature; }
  std::string ShortName() const override { return kUnknownFeatureName; }
  std::string Description() const override { return kUnknownFeatureDescription; }
  std::shared_ptr<ICpuBoolean> Available() const override;
};

class TCpuFeatureSet final : public ICpuFeatureSet {
 public:
  TCpuFeatureSet(uint8_t processor, TCpuFeatureKind kind);
  std::shared_ptr<ICpuBoolean> Available() const override;
  std::shared_ptr<ICpuNumber> FeatureCount() const override;
  std::shared_ptr<ICpuFeature> Feature(uint8_t bit) const override;
  std::shared_ptr<ICpuFeature> FeatureByName(const std::string& name) const override;

 private:
  uint8_t processor_;
  TCpuFeatureKind kind_;
  std::unique_ptr<TFeatureSetDefinition> definition_;
};

class TProcessorFeatures final : public IProcessorFeatures {
 public:
  explicit TProcessorFeatures(uint8_t processor) : processor_(processor) {}
  std::shared_ptr<ICpuFeatureSet> Standard() const override;
  std::shared_ptr<ICpuFeatureSet> StandardEx() const override;
  std::shared_ptr<ICpuFeatureSet> Extended() const override;
  std::shared_ptr<ICpuFeatureSet> PowerManagement() const override;
  std::shared_ptr<ICpuFeature> FeatureByName(const std::string& name) const override;

 private:
  uint8_t processor_;
};

// The information window builds a set directly (processor 0, kind 1-4).
std::shared_ptr<ICpuFeatureSet> CreateCpuFeatureSet(uint8_t processor, TCpuFeatureKind kind);

}  // namespace zt::cpuid
