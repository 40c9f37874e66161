#include "cpuid/info_pages.h"

#include <memory>

#include "cpuid/cpu_root.h"
#include "cpuid/cpuid_access.h"
#include "cpuid/features.h"
#include "util/texts.h"
#include "util/unicode.h"

namespace zt::cpuid {

namespace {

// Captions of the tree nodes.
constexpr const char* kProcessorCount = "Processor Count";
constexpr const char* kProcessors = "Processors (%s)";
constexpr const char* kCpuid = "CPUID";
constexpr const char* kStandard = "Standard";
constexpr const char* kTransmeta = "Transmeta";
constexpr const char* kSignature = "Signature";
constexpr const char* kStandardEx = "Standard (Ex)";
constexpr const char* kPower = "Power";
constexpr const char* kCache = "Cache";
constexpr const char* kLevel1 = "Level 1";
constexpr const char* kCode = "Code";
constexpr const char* kData = "Data";
constexpr const char* kUnified = "Unified";
constexpr const char* kLevel2 = "Level 2";
constexpr const char* kLevel3 = "Level 3";
constexpr const char* kTrace = "Trace";
constexpr const char* kErrata = "Errata";
constexpr const char* kVendor = "Vendor";

// A row whose value is one of the language's texts.
InfoRow WordRow(const char* caption, TextId value) { return {caption, Text(value), value}; }

InfoRow FeatureFamilyRow(uint8_t family) {
  constexpr const char* kCaption = "Feature set";
  switch (family) {
    case 0: return WordRow(kCaption, TextId::PageFeatureFamilyGeneric);
    case 1: return {kCaption, "Intel"};
    case 2: return {kCaption, "Amd"};
    case 3: return {kCaption, "Cyrix"};
    default: return WordRow(kCaption, TextId::PageUnknown);
  }
}

InfoRow CacheDetectRow(uint8_t detect) {
  constexpr const char* kCaption = "Cache detect";
  switch (detect) {
    case 0: return WordRow(kCaption, TextId::PageCacheStandard);
    case 1: return WordRow(kCaption, TextId::PageCacheExtended);
    case 2: return WordRow(kCaption, TextId::PageCacheCombined);
    default: return WordRow(kCaption, TextId::PageUnknown);
  }
}

uint8_t ProcessorOf(int code) { return static_cast<uint8_t>(code / 100); }

std::string ProcessorName(uint8_t processor) {
  return DisplayCpuText(CpuRoot().ProcessorInformation(processor)->Name()->Name());
}

std::shared_ptr<ICpuCache> CacheOf(uint8_t processor, int item) {
  std::shared_ptr<IProcessorCache> cache = CpuRoot().ProcessorInformation(processor)->Cache();
  switch (item) {
    case 0: return cache->Level1()->Code();
    case 1: return cache->Level1()->Data();
    case 2: return cache->Level1()->Unified();
    case 3: return cache->Level2();
    case 4: return cache->Level3();
    case 5: return cache->Trace();
    default: return nullptr;
  }
}

void SummaryRows(uint8_t n, std::vector<InfoRow>& rows) {
  std::shared_ptr<IProcessorInformation> info = CpuRoot().ProcessorInformation(n);
  rows.push_back({"Name", DisplayCpuText(info->Name()->Name())});
  rows.push_back({"Speed", info->Speed()->NormalisedSpeed()->AsFrequency()});
  std::shared_ptr<IProcessorSerial> serial = info->Serial();
  if (serial->Available()->Value()) rows.push_back({"Serial", serial->AsDashedText()});
}

void RangeRows(uint8_t n, int item, std::vector<InfoRow>& rows) {
  TCpuidInformation range(n, static_cast<TCpuidRange>(item));
  rows.push_back({"Available", range.Available()->AsYesNo()});
  rows.push_back({"Maximum command", range.MaximumLeaf()->AsHex()});
}

void SignatureRows(uint8_t n, std::vector<InfoRow>& rows) {
  std::shared_ptr<IProcessorSignature> sig = CpuRoot().ProcessorInformation(n)->Signature();
  rows.push_back({"Generic", sig->AsString()});
  rows.push_back({"Type", sig->ProcessorType()->Value()->AsString()});
  rows.push_back({"Family", sig->Family()->Value()->AsString()});
  rows.push_back({"Model", sig->Model()->Value()->AsString()});
  rows.push_back({"Stepping", sig->Stepping()->Value()->AsString()});
  rows.push_back({"Brand", sig->Brand()->Value()->AsString()});
}

void FeatureRows(uint8_t n, int item, std::vector<InfoRow>& rows) {
  TCpuFeatureSet set(n, static_cast<TCpuFeatureKind>(item));
  const std::shared_ptr<ICpuBoolean> available = set.Available();
  rows.push_back({"Feature Set Available", available->AsYesNo()});
  rows.push_back({"Number of features", set.FeatureCount()->AsString()});
  if (!available->Value()) return;
  for (uint8_t bit = 0; bit < 32; ++bit) {
    std::shared_ptr<ICpuFeature> feature = set.Feature(bit);
    std::string name = feature->ShortName();
    if (name == "RES") continue;
    rows.push_back({name, feature->Available()->AsYesNo()});
  }
}

void CacheRows(uint8_t n, int item, std::vector<InfoRow>& rows) {
  std::shared_ptr<ICpuCache> cache = CacheOf(n, item);
  if (!cache) return;
  rows.push_back({"Available", cache->Available()->AsYesNo()});
  rows.push_back({"Associativity", cache->Associativity()->Name()});
  rows.push_back({"Line Size", cache->LineSize()->AsSize()});
  rows.push_back({"Size", cache->Size()->AsSize()});
}

void VendorRows(uint8_t n, std::vector<InfoRow>& rows) {
  std::shared_ptr<IProcessorVendor> vendor = CpuRoot().ProcessorInformation(n)->Vendor();
  rows.push_back({"Name", DisplayCpuText(vendor->CompanyName())});
  rows.push_back({"Signature", DisplayCpuText(vendor->Signature())});
  rows.push_back(FeatureFamilyRow(vendor->FeatureFamily()));
  rows.push_back(CacheDetectRow(vendor->CacheDetect()));
}

void ErrataRows(uint8_t n, std::vector<InfoRow>& rows) {
  std::shared_ptr<IProcessorErrata> errata = CpuRoot().ProcessorInformation(n)->Errata();
  rows.push_back({"FDiv Error", errata->FDivError()->AsYesNo()});
  rows.push_back({"Duron cache", errata->DuronCache()->AsYesNo()});
}

InfoNode Node(const std::string& caption, int code, std::vector<InfoNode> children = {}) {
  InfoNode node;
  node.caption = caption;
  node.code = code;
  node.children = std::move(children);
  return node;
}

// A node whose caption is one of the language's texts.
InfoNode Node(TextId caption, int code, std::vector<InfoNode> children = {}) {
  InfoNode node = Node(Text(caption), code, std::move(children));
  node.caption_text = caption;
  return node;
}

// Every node with a page of its own, in tree order, with its report path:
// the "Processors (n)" node groups the processors and is no part of a path,
// a processor node is written "#n", grouping nodes have no page.
template <typename Visit>
void WalkPages(const InfoNode& node, const std::string& parent, Visit& visit) {
  std::string path;
  if (node.code == kNodePlaceholder && node.caption.rfind("Processors (", 0) == 0) {
    path = parent;
  } else {
    std::string own = node.caption;
    if (node.code % 100 == kNodeSummary) {
      own = "#" + std::to_string(node.code / 100);
    }
    path = parent.empty() ? own : parent + "/" + own;
    if (node.code != kNodePlaceholder) visit(path, node.code);
  }
  for (const InfoNode& child : node.children) WalkPages(child, path, visit);
}

}  // namespace

std::string DisplayCpuText(const std::string& raw) {
  std::string out;
  out.reserve(raw.size());
  for (char c : raw) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u == 0) break;
    if (u < 0x20 || u == 0x7F) {
      out.push_back('?');
    } else {
      AppendUtf8(out, u);
    }
  }
  return out;
}

std::vector<InfoNode> BuildNavigationTree() {
  std::vector<InfoNode> top;
  top.push_back(Node(kProcessorCount, kNodeProcessorCount));
  uint32_t count = CpuRoot().ProcessorCount()->AvailableProcessors()->Value();
  std::string processors = kProcessors;
  processors.replace(processors.find("%s"), 2, std::to_string(count));
  InfoNode group = Node("", kNodePlaceholder);
  group.caption = processors;
  // Processor numbers are 8-bit; a count beyond that has no further nodes.
  uint32_t listed = count > 256 ? 256 : count;
  for (uint32_t p = 0; p < listed; ++p) {
    uint8_t n = static_cast<uint8_t>(p);
    int base = static_cast<int>(p) * 100;
    InfoNode cpu;
    cpu.caption = "#" + std::to_string(p) + " " + ProcessorName(n);
    cpu.code = base + kNodeSummary;
    cpu.children.push_back(Node(kCpuid, kNodePlaceholder,
                                {Node(kStandard, base + kNodeCpuidStandard),
                                 Node(TextId::PageExtended, base + kNodeCpuidExtended),
                                 Node(kTransmeta, base + kNodeCpuidTransmeta)}));
    cpu.children.push_back(Node(kSignature, base + kNodeSignature));
    cpu.children.push_back(Node(TextId::PageFeatureSets, kNodePlaceholder,
                                {Node(kStandard, base + kNodeFeaturesStandard),
                                 Node(kStandardEx, base + kNodeFeaturesStandardEx),
                                 Node(TextId::PageExtended, base + kNodeFeaturesExtended),
                                 Node(kPower, base + kNodeFeaturesPower)}));
    cpu.children.push_back(Node(kCache, kNodePlaceholder,
                                {Node(kLevel1, kNodePlaceholder,
                                      {Node(kCode, base + kNodeCacheLevel1Code),
                                       Node(kData, base + kNodeCacheLevel1Data),
                                       Node(kUnified, base + kNodeCacheLevel1Unified)}),
                                 Node(kLevel2, base + kNodeCacheLevel2),
                                 Node(kLevel3, base + kNodeCacheLevel3),
                                 Node(kTrace, base + kNodeCacheTrace)}));
    cpu.children.push_back(Node(kErrata, base + kNodeErrata));
    cpu.children.push_back(Node(kVendor, base + kNodeVendor));
    group.children.push_back(std::move(cpu));
  }
  top.push_back(std::move(group));
  return top;
}

std::vector<InfoRow> PageRows(int code) {
  std::vector<InfoRow> rows;
  if (code == kNodePlaceholder) {
    rows.push_back({"No Items", "Double-click to expand"});
    return rows;
  }
  if (code < 0) return rows;
  uint8_t n = ProcessorOf(code);
  int group = ((code - 100 * (code / 100)) / 10) * 10;
  int item = code % 10;
  switch (group) {
    case kNodeProcessorCount: {
      std::shared_ptr<IProcessorCount> count = CpuRoot().ProcessorCount();
      rows.push_back({"Available processors", count->AvailableProcessors()->AsString()});
      rows.push_back({"Virtual processors", count->VirtualProcessors()->AsString()});
      break;
    }
    case kNodeSummary: SummaryRows(n, rows); break;
    case 20: RangeRows(n, item, rows); break;
    case kNodeSignature: SignatureRows(n, rows); break;
    case 40: FeatureRows(n, item, rows); break;
    case 50: CacheRows(n, item, rows); break;
    case kNodeVendor: VendorRows(n, rows); break;
    case kNodeErrata: ErrataRows(n, rows); break;
    default: break;
  }
  return rows;
}

std::vector<InfoPage> BuildAllPages() {
  std::vector<InfoPage> pages;
  auto collect = [&pages](const std::string& path, int code) {
    InfoPage page;
    page.path = path;
    page.code = code;
    page.rows = PageRows(code);
    pages.push_back(std::move(page));
  };
  for (const InfoNode& node : BuildNavigationTree()) WalkPages(node, std::string(), collect);
  return pages;
}

std::string PagePath(int code) {
  std::string found;
  auto find = [&found, code](const std::string& path, int page_code) {
    if (page_code == code && found.empty()) found = path;
  };
  for (const InfoNode& node : BuildNavigationTree()) WalkPages(node, std::string(), find);
  return found;
}

FeatureTable BuildFeatureTable(TCpuFeatureKind kind) {
  FeatureTable table;
  TCpuFeatureSet set(0, kind);
  if (!set.Available()->Value()) {
    table.label = "Feature Set Unavailable.";
    return table;
  }
  table.label = "Available Features (" + set.FeatureCount()->AsString() + "):";
  for (uint8_t bit = 0; bit < 32; ++bit) {
    std::shared_ptr<ICpuFeature> feature = set.Feature(bit);
    if (feature->ShortName() == "RES") continue;
    table.rows.push_back(
        {bit, feature->ShortName(), feature->Description(), feature->Available()->Value()});
  }
  return table;
}

}  // namespace zt::cpuid
