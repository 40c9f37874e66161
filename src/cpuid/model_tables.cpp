#include "cpuid/model_tables.h"

#include <cstdio>

namespace zt::cpuid {

namespace {

template <size_t N>
const char* FindModelName(const ModelNameRow (&table)[N], uint32_t family,
                          uint32_t model) {
  for (const ModelNameRow& row : table) {
    if (row.family == family && ModelSetHas(row.models, model)) return row.name;
  }
  return nullptr;
}

std::string OrFallback(const char* name, std::string_view vendor_name, uint32_t family,
                       uint32_t model, uint32_t stepping) {
  if (name != nullptr && *name != '\0') return name;
  return GenericProcessorName(vendor_name, family, model, stepping);
}

}  // namespace

std::string GenericProcessorName(std::string_view vendor_name, uint32_t family, uint32_t model,
                                 uint32_t stepping) {
  char text[80];
  std::snprintf(text, sizeof text, "x86 Family %u Model %u Stepping %u", family, model,
                stepping);
  std::string result(vendor_name);
  result += text;
  return result;
}

std::string IntelBrandName(uint32_t brand, uint32_t signature) {
  for (const IntelBrandRow& row : kIntelBrandTable) {
    if (brand < row.first_brand || brand > row.last_brand) continue;
    switch (row.rule) {
      case BrandRule::kNone:
        return {};
      case BrandRule::kName:
        return row.name;
      case BrandRule::kSignatureEquals:
        return signature == row.limit ? row.name : row.otherwise;
      case BrandRule::kSignatureBelow:
        return signature < row.limit ? row.name : row.otherwise;
    }
  }
  return {};
}

std::string IntelModelName(const IntelNameHints& h) {
  std::string name = IntelBrandName(h.brand, h.signature);
  if (!name.empty()) return name;

  const char* chosen = nullptr;
  for (const IntelModelRow& row : kIntelModelTable) {
    if (row.family != kAnyFamily && row.family != h.family) continue;
    if (!ModelSetHas(row.models, h.model)) continue;
    switch (row.rule) {
      case IntelModelRule::kName:
        chosen = row.names[0];
        break;
      case IntelModelRule::kByType:
        chosen = h.processor_type == 1 ? row.names[0] : row.names[1];
        break;
      case IntelModelRule::kL2ThreeSteps:
        chosen = h.level2_size < kL2CeleronLimit ? row.names[0]
                 : h.level2_size < kL2XeonLimit  ? row.names[1]
                                                  : row.names[2];
        break;
      case IntelModelRule::kL2Mobile:
        chosen = h.level2_size >= kL2CeleronLimit ? row.names[0]
                 : h.serial_number                ? row.names[1]
                                                  : row.names[2];
        break;
      case IntelModelRule::kL2Xeon:
        chosen = h.level2_size < kL2XeonLimit ? row.names[0] : row.names[1];
        break;
      case IntelModelRule::kFallback:
        chosen = nullptr;
        break;
    }
    break;
  }
  return OrFallback(chosen, h.vendor_name, h.family, h.model, h.stepping);
}

std::string VendorModelName(uint8_t vendor, std::string_view vendor_name, uint32_t family,
                            uint32_t model, uint32_t stepping) {
  const char* name = nullptr;
  switch (vendor) {
    case 3: name = FindModelName(kAmdModelTable, family, model); break;
    case 4: name = FindModelName(kCyrixModelTable, family, model); break;
    case 5: name = FindModelName(kIdtModelTable, family, model); break;
    case 6: name = FindModelName(kNexGenModelTable, family, model); break;
    case 7: name = FindModelName(kUmcModelTable, family, model); break;
    case 8: name = FindModelName(kRiseModelTable, family, model); break;
    default: break;
  }
  return OrFallback(name, vendor_name, family, model, stepping);
}

}  // namespace zt::cpuid
