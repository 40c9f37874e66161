#include "cpuid/features.h"

#include <cctype>

#include "cpuid/cpu_root.h"
#include "cpuid/cpu_values.h"
#include "cpuid/cpuid_access.h"

namespace zt::cpuid {

namespace {

bool RowHasKind(const TFeatureDetail& row, TCpuFeatureKind kind) {
  return kind <= 7 && ((row.kinds >> kind) & 1) != 0;
}

std::string UpperCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::array<uint8_t, 32> BuildFeatureSlots(TCpuFeatureKind kind, uint8_t feature_family) {
  std::array<uint8_t, 32> slots;
  slots.fill(kNoFeature);
  // Generic rows first; a later row for the same bit wins.
  for (size_t r = 0; r < kFeatureTable.size(); ++r) {
    const TFeatureDetail& row = kFeatureTable[r];
    if (row.family == 0 && RowHasKind(row, kind)) slots[row.bit] = static_cast<uint8_t>(r);
  }
  // Then the vendor's own rows override them.
  if (feature_family != 0) {
    for (size_t r = 0; r < kFeatureTable.size(); ++r) {
      const TFeatureDetail& row = kFeatureTable[r];
      if (row.family == feature_family && RowHasKind(row, kind)) slots[row.bit] = static_cast<uint8_t>(r);
    }
  }
  return slots;
}

TCpuFeatureKind FeatureKindOfName(const std::string& name) {
  const std::string upper = UpperCase(name);
  for (const TFeatureDetail& row : kFeatureTable) {
    if (upper != row.short_name) continue;
    for (TCpuFeatureKind k = 1; k <= 4; ++k) {
      if (RowHasKind(row, k)) return k;
    }
    return 0;
  }
  return 0;
}

// ---------------------------------------------------------------------------

TFeatureSetDefinition::TFeatureSetDefinition(uint8_t processor, TCpuFeatureKind kind)
    : processor_(processor),
      kind_(kind),
      feature_family_(CpuRoot().ProcessorInformation(processor)->Vendor()->FeatureFamily()),
      slots_(BuildFeatureSlots(kind, feature_family_)),
      count_(0) {
  for (uint8_t s : slots_) {
    if (s != kNoFeature) ++count_;
  }
}

uint8_t TFeatureSetDefinition::IndexOfName(const std::string& name) const {
  const std::string n = UpperCase(name);
  uint8_t result = kNoFeature;
  if (feature_family_ == 2 || feature_family_ == 3) {
    const auto info = [this] { return CpuRoot().ProcessorInformation(processor_); };
    if (n == "MMX+") {
      if (info()->Vendor()->Vendor() == kVendorAmd) result = 22;
      if (info()->Vendor()->Vendor() == kVendorCyrix) result = 24;
    } else if (n == "PGE") {
      if (info()->Vendor()->Vendor() == kVendorAmd && info()->Signature()->Family()->Value()->Value() == 5 &&
          info()->Signature()->Model()->Value()->Value() == 0) {
        result = 9;
      }
    } else if (n == "SEP") {
      if (info()->Vendor()->Vendor() == kVendorAmd && info()->Signature()->Family()->Value()->Value() == 6) {
        result = 10;
      }
    }
  }
  if (result > 48) {
    for (uint8_t bit = 0; bit < 32; ++bit) {
      if (slots_[bit] != kNoFeature && n == kFeatureTable[slots_[bit]].short_name) {
        result = bit;
        break;
      }
    }
  }
  return result;
}

std::shared_ptr<ICpuNumber> TFeatureSetDefinition::Count() const {
  return MakeNumber(static_cast<uint32_t>(count_));
}

// ---------------------------------------------------------------------------

uint8_t TCpuFeature::BitIndex() const { return kFeatureTable[table_index_].bit; }
std::string TCpuFeature::ShortName() const { return kFeatureTable[table_index_].short_name; }
std::string TCpuFeature::Description() const { return kFeatureTable[table_index_].description; }

std::shared_ptr<ICpuBoolean> TCpuFeature::Available() const {
  const uint32_t leaf = kind_ == kFeaturesExtended ? 0x80000001u : kind_ == kFeaturesPower ? 0x80000007u : 1u;
  TCpuid cpuid(processor_, leaf, 1);
  if (!cpuid.Available()->Value()) return MakeBoolean(false);
  const CpuidRegisters& r = cpuid.Registers();
  const uint32_t reg = kind_ == kFeaturesStandardEx ? r.ecx : r.edx;
  return MakeBoolean(((reg >> BitIndex()) & 1) != 0);
}

std::shared_ptr<ICpuBoolean> TUnknownFeature::Available() const { return MakeBoolean(false); }

// ---------------------------------------------------------------------------

TCpuFeatureSet::TCpuFeatureSet(uint8_t processor, TCpuFeatureKind kind)
    : processor_(processor), kind_(kind), definition_(std::make_unique<TFeatureSetDefinition>(processor, kind)) {}

std::shared_ptr<ICpuBoolean> TCpuFeatureSet::Available() const {
  const auto cpuid = CpuRoot().ProcessorInformation(processor_)->Cpuid();
  switch (kind_) {
    case kFeaturesStandard:
    case kFeaturesStandardEx:
      return MakeBoolean(cpuid->Standard()->MaximumLeaf()->Value() >= 1);
    case kFeaturesExtended:
      return MakeBoolean(cpuid->Extended()->MaximumLeaf()->Value() >= 0x80000001u);
    case kFeaturesPower:
      return MakeBoolean(cpuid->Extended()->MaximumLeaf()->Value() >= 0x80000007u);
    default:
      return MakeBoolean(false);
  }
}

std::shared_ptr<ICpuNumber> TCpuFeatureSet::FeatureCount() const {
  if (!Available()->Value()) return MakeNumber(0);
  return definition_->Count();
}

std::shared_ptr<ICpuFeature> TCpuFeatureSet::Feature(uint8_t bit) const {
  const uint8_t index = definition_->SlotIndex(bit);
  if (index == kNoFeature) return std::make_shared<TUnknownFeature>();
  return std::make_shared<TCpuFeature>(processor_, index, kind_);
}

std::shared_ptr<ICpuFeature> TCpuFeatureSet::FeatureByName(const std::string& name) const {
  const uint8_t bit = definition_->IndexOfName(name);
  if (bit == kNoFeature) return std::make_shared<TUnknownFeature>();
  return Feature(bit);
}

std::shared_ptr<ICpuFeatureSet> CreateCpuFeatureSet(uint8_t processor, TCpuFeatureKind kind) {
  return std::make_shared<TCpuFeatureSet>(processor, kind);
}

// ---------------------------------------------------------------------------

std::shared_ptr<ICpuFeatureSet> TProcessorFeatures::Standard() const {
  return CreateCpuFeatureSet(processor_, kFeaturesStandard);
}
std::shared_ptr<ICpuFeatureSet> TProcessorFeatures::StandardEx() const {
  return CreateCpuFeatureSet(processor_, kFeaturesStandardEx);
}
std::shared_ptr<ICpuFeatureSet> TProcessorFeatures::Extended() const {
  return CreateCpuFeatureSet(processor_, kFeaturesExtended);
}
std::shared_ptr<ICpuFeatureSet> TProcessorFeatures::PowerManagement() const {
  return CreateCpuFeatureSet(processor_, kFeaturesPower);
}

std::shared_ptr<ICpuFeature> TProcessorFeatures::FeatureByName(const std::string& name) const {
  return CreateCpuFeatureSet(processor_, FeatureKindOfName(name))->FeatureByName(name);
}

}  // namespace zt::cpuid
