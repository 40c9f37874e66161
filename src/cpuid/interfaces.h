// Interfaces of the processor identification library (access, values, vendor,
// signature, features, serial, usage, errata, counts, speed and the
// per-processor facade).  Objects are handed out only as
// std::shared_ptr<IThing>; every getter builds a new object, objects that read
// CPUID do it in their constructor, and nothing is cached.  Texts are narrow
// strings holding the bytes the processor reports (plain ASCII for every
// table text); a text read from CPUID registers may contain NUL characters.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "cpuid/naming_interfaces.h"

namespace zt::cpuid {

// ---------------------------------------------------------------------------
// Value objects

class ICpuBoolean {
 public:
  virtual ~ICpuBoolean() = default;
  virtual bool Value() const = 0;
  virtual std::string AsYesNo() const = 0;      // "Yes" / "No"
  virtual std::string AsTrueFalse() const = 0;  // "True" / "False"
  virtual std::string AsOnOff() const = 0;      // "On" / "Off"
};

class ICpuWord {
 public:
  virtual ~ICpuWord() = default;
  virtual uint8_t HighByte() const = 0;  // bits 8-15
  virtual uint8_t LowByte() const = 0;   // bits 0-7
  virtual uint16_t Value() const = 0;
};

class ICpuNumber {
 public:
  virtual ~ICpuNumber() = default;
  virtual uint32_t Value() const = 0;
  virtual std::string AsString() const = 0;  // unsigned decimal
  virtual std::shared_ptr<ICpuWord> HighWord() const = 0;
  virtual std::shared_ptr<ICpuWord> LowWord() const = 0;
  virtual uint8_t BitCount() const = 0;
  // Only the low five bits of the index count.
  virtual std::shared_ptr<ICpuBoolean> Bit(uint8_t index) const = 0;
  virtual std::string AsSize() const = 0;       // "%d bytes", "%1.1n Kb", ...
  virtual std::string AsHex() const = 0;        // "$%1.8x", upper case
  virtual std::string AsFrequency() const = 0;  // "%d Mhz" / "%1.1n Ghz"
  virtual std::string AsChars() const = 0;      // 4 bytes, lowest first
  virtual std::string AsVersion() const = 0;    // 4301 -> "4.3.01"
};

// ---------------------------------------------------------------------------
// CPUID access

// Leaf range.
using TCpuidRange = uint8_t;
inline constexpr TCpuidRange kRangeStandard = 0;
inline constexpr TCpuidRange kRangeExtended = 1;
inline constexpr TCpuidRange kRangeTransmeta = 2;

// Keeps the reading thread pinned to one processor while it lives.
class ICpuAffinity {
 public:
  virtual ~ICpuAffinity() = default;
};

// One executed leaf (snapshot taken at construction).
class ICpuid {
 public:
  virtual ~ICpuid() = default;
  virtual uint8_t Processor() const = 0;
  virtual uint32_t Leaf() const = 0;
  virtual int32_t RepeatCount() const = 0;
  // AsChars of EAX, EBX, ECX, EDX (16 characters).
  virtual std::string AsString() const = 0;
  // Asked anew on every call.
  virtual std::shared_ptr<ICpuBoolean> Available() const = 0;
  virtual std::shared_ptr<ICpuNumber> Eax() const = 0;
  virtual std::shared_ptr<ICpuNumber> Ebx() const = 0;
  virtual std::shared_ptr<ICpuNumber> Ecx() const = 0;
  virtual std::shared_ptr<ICpuNumber> Edx() const = 0;
};

// One leaf range of one processor.
class ICpuidInformation {
 public:
  virtual ~ICpuidInformation() = default;
  virtual std::shared_ptr<ICpuBoolean> Available() const = 0;
  virtual std::shared_ptr<ICpuNumber> MaximumLeaf() const = 0;  // EAX of the base leaf
};

class IProcessorCpuid {
 public:
  virtual ~IProcessorCpuid() = default;
  virtual std::shared_ptr<ICpuidInformation> Standard() const = 0;
  virtual std::shared_ptr<ICpuidInformation> Extended() const = 0;
  virtual std::shared_ptr<ICpuidInformation> Transmeta() const = 0;
};

// ---------------------------------------------------------------------------
// Vendor and signature

// Vendor number: 1 unknown, 2 Intel, 3 AMD, 4 Cyrix, 5 Via, 6 NexGen, 7 UMC,
// 8 Rise, 9 Transmeta.
using TCpuVendor = uint8_t;
inline constexpr TCpuVendor kVendorUnknown = 1;
inline constexpr TCpuVendor kVendorIntel = 2;
inline constexpr TCpuVendor kVendorAmd = 3;
inline constexpr TCpuVendor kVendorCyrix = 4;
inline constexpr TCpuVendor kVendorVia = 5;
inline constexpr TCpuVendor kVendorNexGen = 6;
inline constexpr TCpuVendor kVendorUmc = 7;
inline constexpr TCpuVendor kVendorRise = 8;
inline constexpr TCpuVendor kVendorTransmeta = 9;

class IProcessorVendor {
 public:
  virtual ~IProcessorVendor() = default;
  virtual std::string Signature() const = 0;  // e.g. "GenuineIntel"
  virtual std::string CompanyName() const = 0;
  virtual uint8_t FeatureFamily() const = 0;  // 0 generic, 1 Intel, 2 AMD-style, 3 Cyrix
  virtual uint8_t CacheDetect() const = 0;    // 0 standard, 1 extended, 2 combined
  virtual TCpuVendor Vendor() const = 0;
};

using TSignatureField = uint8_t;
inline constexpr TSignatureField kFieldProcessorType = 0;
inline constexpr TSignatureField kFieldFamily = 1;
inline constexpr TSignatureField kFieldModel = 2;
inline constexpr TSignatureField kFieldStepping = 3;
inline constexpr TSignatureField kFieldBrand = 4;

class ICpuSignatureInformation {
 public:
  virtual ~ICpuSignatureInformation() = default;
  virtual std::shared_ptr<ICpuNumber> Value() const = 0;
  virtual std::shared_ptr<ICpuBoolean> IsExtended() const = 0;
};

class IProcessorSignature {
 public:
  virtual ~IProcessorSignature() = default;
  virtual std::shared_ptr<ICpuSignatureInformation> ProcessorType() const = 0;
  virtual std::shared_ptr<ICpuSignatureInformation> Family() const = 0;
  virtual std::shared_ptr<ICpuSignatureInformation> Model() const = 0;
  virtual std::shared_ptr<ICpuSignatureInformation> Stepping() const = 0;
  virtual std::shared_ptr<ICpuSignatureInformation> Brand() const = 0;
  // "x86 Family %d Model %d Stepping %d"
  virtual std::string AsString() const = 0;
  virtual std::shared_ptr<ICpuNumber> Signature() const = 0;  // EAX of leaf 1
};

// ---------------------------------------------------------------------------
// Feature sets

// 1 EDX of leaf 1, 2 ECX of leaf 1, 3 EDX of 0x80000001, 4 EDX of 0x80000007;
// any other kind is a set that is never available and defines no bit.
using TCpuFeatureKind = uint8_t;
inline constexpr TCpuFeatureKind kFeaturesStandard = 1;
inline constexpr TCpuFeatureKind kFeaturesStandardEx = 2;
inline constexpr TCpuFeatureKind kFeaturesExtended = 3;
inline constexpr TCpuFeatureKind kFeaturesPower = 4;

inline constexpr uint8_t kNoFeature = 255;

class ICpuFeature {
 public:
  virtual ~ICpuFeature() = default;
  virtual uint8_t BitIndex() const = 0;            // 255 for the placeholder
  virtual std::string ShortName() const = 0;       // "RES" for the placeholder
  virtual std::string Description() const = 0;     // "Reserved or unused"
  virtual std::shared_ptr<ICpuBoolean> Available() const = 0;
};

class IFeatureSetDefinition {
 public:
  virtual ~IFeatureSetDefinition() = default;
  // Bit the short name denotes in this set (case-insensitive), or 255.
  virtual uint8_t IndexOfName(const std::string& name) const = 0;
  virtual std::shared_ptr<ICpuNumber> Count() const = 0;
};

class ICpuFeatureSet {
 public:
  virtual ~ICpuFeatureSet() = default;
  virtual std::shared_ptr<ICpuBoolean> Available() const = 0;
  // The definition's count when available, otherwise 0.
  virtual std::shared_ptr<ICpuNumber> FeatureCount() const = 0;
  // The placeholder for an empty slot or a bit above 31.
  virtual std::shared_ptr<ICpuFeature> Feature(uint8_t bit) const = 0;
  virtual std::shared_ptr<ICpuFeature> FeatureByName(const std::string& name) const = 0;
};

class IProcessorFeatures {
 public:
  virtual ~IProcessorFeatures() = default;
  virtual std::shared_ptr<ICpuFeatureSet> Standard() const = 0;         // kind 1
  virtual std::shared_ptr<ICpuFeatureSet> StandardEx() const = 0;       // kind 2
  virtual std::shared_ptr<ICpuFeatureSet> Extended() const = 0;         // kind 3
  virtual std::shared_ptr<ICpuFeatureSet> PowerManagement() const = 0;  // kind 4
  virtual std::shared_ptr<ICpuFeature> FeatureByName(const std::string& name) const = 0;
};

// ---------------------------------------------------------------------------
// Serial number, usage, errata

class IProcessorSerial {
 public:
  virtual ~IProcessorSerial() = default;
  virtual std::shared_ptr<ICpuBoolean> Available() const = 0;  // PSN feature bit
  virtual std::string AsDashedText() const = 0;  // "XXXX-XXXX-..." (29 or 9 chars)
  virtual std::string AsHexText() const = 0;     // the same digits, no dashes
};

class IProcessorUsage {
 public:
  virtual ~IProcessorUsage() = default;
  // Load in whole per cent; raises the load source's EProcessorLoad errors.
  virtual std::shared_ptr<ICpuNumber> Usage() const = 0;
};

class IProcessorErrata {
 public:
  virtual ~IProcessorErrata() = default;
  virtual std::shared_ptr<ICpuBoolean> FDivError() const = 0;
  virtual std::shared_ptr<ICpuBoolean> DuronCache() const = 0;
};

// ---------------------------------------------------------------------------
// Counts and speed

class IProcessorCount {
 public:
  virtual ~IProcessorCount() = default;
  virtual std::shared_ptr<ICpuNumber> AvailableProcessors() const = 0;
  virtual std::shared_ptr<ICpuNumber> VirtualProcessors() const = 0;
};

class IProcessorSpeedInformation {
 public:
  virtual ~IProcessorSpeedInformation() = default;
  virtual std::shared_ptr<ICpuNumber> RawSpeed() const = 0;         // MHz
  virtual std::shared_ptr<ICpuNumber> NormalisedSpeed() const = 0;  // MHz
  virtual std::string Rating() const = 0;  // AMD performance rating or ""
};

// ---------------------------------------------------------------------------
// Per-processor facade

class IProcessorInformation {
 public:
  virtual ~IProcessorInformation() = default;
  virtual std::shared_ptr<IProcessorCache> Cache() const = 0;
  virtual std::shared_ptr<IProcessorCpuid> Cpuid() const = 0;
  virtual std::shared_ptr<IProcessorErrata> Errata() const = 0;
  virtual std::shared_ptr<IProcessorFeatures> Features() const = 0;
  virtual std::shared_ptr<IProcessorName> Name() const = 0;
  virtual std::shared_ptr<IProcessorSerial> Serial() const = 0;
  virtual std::shared_ptr<IProcessorSignature> Signature() const = 0;
  virtual std::shared_ptr<IProcessorSpeedInformation> Speed() const = 0;
  virtual std::shared_ptr<IProcessorUsage> Usage() const = 0;
  virtual std::shared_ptr<IProcessorVendor> Vendor() const = 0;
};

}  // namespace zt::cpuid
