#include "cpuid/name.h"

#include "cpuid/cpu_root.h"
#include "cpuid/cpu_values.h"
#include "cpuid/cpuid_access.h"
#include "cpuid/model_tables.h"
#include "cpuid/vendor.h"

namespace zt::cpuid {

namespace {

constexpr uint8_t kSerialNumberFeatureBit = 18;

std::shared_ptr<IProcessorInformation> Info(uint8_t processor) {
  return CpuRoot().ProcessorInformation(processor);
}

uint32_t FieldValue(const std::shared_ptr<ICpuSignatureInformation>& field) {
  return field->Value()->Value();
}

}  // namespace

bool NameNeedsTable(bool is_transmeta, uint32_t maximum_extended_leaf,
                    uint32_t maximum_transmeta_leaf) {
  if (is_transmeta) return maximum_transmeta_leaf < kTransmetaBrandLastLeaf;
  return maximum_extended_leaf < kBrandLastLeaf;
}

std::string TrimBrandText(std::string_view text) {
  // Compared as unsigned bytes: a brand byte of 0x80 or more is a character
  // like any other, not a control code.
  auto is_padding = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  size_t first = 0;
  size_t last = text.size();
  while (first < last && is_padding(text[first])) ++first;
  while (last > first && is_padding(text[last - 1])) --last;
  return std::string(text.substr(first, last - first));
}

// ---------------------------------------------------------------------------

TProcessorName::TProcessorName(uint8_t processor) : processor_(processor) {
  const auto info = Info(processor);
  is_transmeta_ = info->Vendor()->Vendor() == kVendorTransmeta;
  const auto ranges = info->Cpuid();
  if (is_transmeta_) {
    from_table_ = NameNeedsTable(true, 0, ranges->Transmeta()->MaximumLeaf()->Value());
  } else {
    from_table_ = NameNeedsTable(false, ranges->Extended()->MaximumLeaf()->Value(), 0);
  }
}

std::string TProcessorName::Name() const {
  if (from_table_) {
    const uint8_t vendor = Info(processor_)->Vendor()->Vendor();
    return CreateProcessorLookup(vendor, processor_)->Name();
  }
  return TrimBrandText(TProcessorNameDetect(processor_).Name());
}

std::shared_ptr<ICpuBoolean> TProcessorName::FromTable() const { return MakeBoolean(from_table_); }

std::string TProcessorNameDetect::Name() const {
  const bool transmeta = Info(processor_)->Vendor()->Vendor() == kVendorTransmeta;
  const uint32_t first = transmeta ? kTransmetaBrandFirstLeaf : kBrandFirstLeaf;
  const uint32_t last = transmeta ? kTransmetaBrandLastLeaf : kBrandLastLeaf;
  std::string text;
  for (uint32_t leaf = first; leaf <= last; ++leaf) {
    text += TCpuid(processor_, leaf, 1).AsString();
  }
  return text;
}

// ---------------------------------------------------------------------------

std::string TIntelProcessorLookup::Name() const {
  const auto info = Info(processor_);
  const auto signature = info->Signature();
  IntelNameHints hints;
  hints.vendor_name = CpuVendorInfo(kVendorIntel).name;
  hints.brand = FieldValue(signature->Brand());
  hints.signature = signature->Signature()->Value();
  std::string name = IntelBrandName(hints.brand, hints.signature);
  if (!name.empty()) return name;

  hints.processor_type = FieldValue(signature->ProcessorType());
  hints.family = FieldValue(signature->Family());
  hints.model = FieldValue(signature->Model());
  hints.stepping = FieldValue(signature->Stepping());
  hints.level2_size = info->Cache()->Level2()->Size()->Value();
  hints.serial_number =
      info->Features()->Standard()->Feature(kSerialNumberFeatureBit)->Available()->Value();
  return IntelModelName(hints);
}

std::string TFamilyModelLookup::Name() const {
  const auto signature = Info(processor_)->Signature();
  return VendorModelName(vendor_, CpuVendorInfo(vendor_).name, FieldValue(signature->Family()),
                         FieldValue(signature->Model()), FieldValue(signature->Stepping()));
}

std::shared_ptr<ICpuName> CreateProcessorLookup(uint8_t vendor, uint8_t processor) {
  switch (vendor) {
    case kVendorIntel: return std::make_shared<TIntelProcessorLookup>(processor);
    case kVendorAmd: return std::make_shared<TAmdProcessorLookup>(processor);
    case kVendorCyrix: return std::make_shared<TCyrixProcessorLookup>(processor);
    case kVendorVia: return std::make_shared<TIdtProcessorLookup>(processor);
    case kVendorNexGen: return std::make_shared<TNexGenProcessorLookup>(processor);
    case kVendorUmc: return std::make_shared<TUmcProcessorLookup>(processor);
    case kVendorRise: return std::make_shared<TRiseProcessorLookup>(processor);
    case kVendorTransmeta: return std::make_shared<TTransmetaProcessorLookup>(processor);
    default: return std::make_shared<TUnknownProcessorLookup>(processor);
  }
}

std::shared_ptr<IProcessorName> CreateProcessorName(uint8_t index) {
  return std::make_shared<TProcessorName>(index);
}

}  // namespace zt::cpuid
