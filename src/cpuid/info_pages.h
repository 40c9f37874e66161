// The pages of the CPU information window, built from the identification
// library: the navigation tree with its node codes, the rows (caption and
// value text) of the page each node shows, and the feature table of the
// first tab.  The window and the `zettrim-cpuinfo` report both build on
// this, so they cannot disagree.  All texts are UTF-8; texts the processor
// supplies are cut at a NUL character, as a Windows control shows them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cpuid/interfaces.h"
#include "util/texts.h"

namespace zt::cpuid {

// Node codes: n * 100 + page for processor n, and two fixed codes.
inline constexpr int kNodeProcessorCount = 90;
inline constexpr int kNodePlaceholder = 100;
inline constexpr int kNodeSummary = 10;
inline constexpr int kNodeCpuidStandard = 20;
inline constexpr int kNodeCpuidExtended = 21;
inline constexpr int kNodeCpuidTransmeta = 22;
inline constexpr int kNodeSignature = 30;
inline constexpr int kNodeFeaturesStandard = 41;
inline constexpr int kNodeFeaturesStandardEx = 42;
inline constexpr int kNodeFeaturesExtended = 43;
inline constexpr int kNodeFeaturesPower = 44;
inline constexpr int kNodeCacheLevel1Code = 50;
inline constexpr int kNodeCacheLevel1Data = 51;
inline constexpr int kNodeCacheLevel1Unified = 52;
inline constexpr int kNodeCacheLevel2 = 53;
inline constexpr int kNodeCacheLevel3 = 54;
inline constexpr int kNodeCacheTrace = 55;
inline constexpr int kNodeVendor = 60;
inline constexpr int kNodeErrata = 70;

struct InfoRow {
  std::string caption;
  std::string value;
  // The language's text the value is, so that a window can show it in
  // another language; Count when the value is the library's own.
  TextId value_text = TextId::Count;
  bool operator==(const InfoRow& o) const { return caption == o.caption && value == o.value; }
};

struct InfoNode {
  std::string caption;
  TextId caption_text = TextId::Count;  // as InfoRow::value_text
  int code = kNodePlaceholder;
  std::vector<InfoNode> children;
};

// The navigation tree: "Processor Count", then "Processors (n)" with one
// node per available processor and its groups.
std::vector<InfoNode> BuildNavigationTree();

// The rows of the page a node code selects (the list is cleared first, so
// an unknown code gives no rows).
std::vector<InfoRow> PageRows(int code);

// One page of the report: its tree path, with the processor node written as
// "#n" and the "Processors" node left out ("#0/CPUID/Standard").
struct InfoPage {
  std::string path;
  int code = 0;
  std::vector<InfoRow> rows;
};

// Every page in tree order, placeholders left out.
std::vector<InfoPage> BuildAllPages();
// The report path of the page a node code selects; empty for a code with no
// page (a grouping node, an unknown code).
std::string PagePath(int code);

// The feature table of the first tab, always for processor 0.
struct FeatureTableRow {
  uint8_t bit = 0;
  std::string short_name;
  std::string description;
  bool available = false;
};
struct FeatureTable {
  std::string label;  // "Available Features (%d):" or "Feature Set Unavailable."
  std::vector<FeatureTableRow> rows;
};
FeatureTable BuildFeatureTable(TCpuFeatureKind kind);

// Text the processor supplied, as a control shows it: cut at the first NUL,
// other control characters shown as '?', and bytes above 127 read as
// Latin-1, so the result is always valid UTF-8 on one line.
std::string DisplayCpuText(const std::string& raw);

}  // namespace zt::cpuid
