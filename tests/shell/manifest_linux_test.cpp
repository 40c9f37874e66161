// The program's manifests (res/*.manifest).  Windows refuses to start an
// executable whose manifest is not well-formed XML or says what its loader
// does not accept, and Wine starts it all the same: nothing else would notice
// before a user on Windows does.  libxml2 checks the XML, then the
// declarations the program relies on are held against Windows' own
// identifiers.
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace zt {
namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}
std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

// --- the manifest as libxml2 reads it ----------------------------------------

struct XmlElement {
  std::string ns;                                 // namespace name, empty for none
  std::string name;                               // local name
  std::map<std::string, std::string> attributes;  // unprefixed attributes by name
  std::vector<XmlElement> children;
  std::string text;  // character data directly inside, references resolved
};

std::string Str(const xmlChar* s) { return s ? reinterpret_cast<const char*>(s) : ""; }

void Convert(const xmlNode* node, XmlElement& out) {
  out.ns = node->ns ? Str(node->ns->href) : "";
  out.name = Str(node->name);
  for (const xmlAttr* a = node->properties; a; a = a->next) {
    if (a->ns) continue;
    xmlChar* value = xmlNodeListGetString(node->doc, a->children, 1);
    out.attributes[Str(a->name)] = Str(value);
    xmlFree(value);
  }
  for (const xmlNode* child = node->children; child; child = child->next) {
    if (child->type == XML_ELEMENT_NODE) {
      out.children.emplace_back();
      Convert(child, out.children.back());
    } else if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
      out.text += Str(child->content);
    }
  }
}

// The document element, or an error naming the first fault: well-formed
// XML 1.0 with well-formed namespaces, read strictly (no recovery, nothing
// fetched), in UTF-8 and without a document type declaration, as Windows'
// loader takes a manifest.
bool ReadXml(const std::string& text, XmlElement& root, std::string& error) {
  const std::unique_ptr<xmlParserCtxt, void (*)(xmlParserCtxtPtr)> context(xmlNewParserCtxt(), xmlFreeParserCtxt);
  if (!context) return error = "no parser", false;
  const std::unique_ptr<xmlDoc, void (*)(xmlDocPtr)> doc(
      xmlCtxtReadMemory(context.get(), text.data(), static_cast<int>(text.size()), "manifest", nullptr,
                        XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
      xmlFreeDoc);
  if (!doc || !context->wellFormed || !context->nsWellFormed) {
    const xmlError* e = xmlCtxtGetLastError(context.get());
    error = e && e->message ? Trim(e->message) + " at line " + std::to_string(e->line) : "not well-formed";
    return false;
  }
  if (doc->intSubset || doc->extSubset) return error = "a document type declaration", false;
  if (Str(doc->version) != "1.0") return error = "XML version other than 1.0", false;
  if (doc->encoding && Lower(Str(doc->encoding)) != "utf-8") return error = "encoding other than UTF-8", false;
  Convert(xmlDocGetRootElement(doc.get()), root);
  return true;
}

// --- what Windows' loader needs of the program's manifest -------------------

constexpr char kAsmV1[] = "urn:schemas-microsoft-com:asm.v1";
constexpr char kAsmV2[] = "urn:schemas-microsoft-com:asm.v2";
constexpr char kAsmV3[] = "urn:schemas-microsoft-com:asm.v3";
constexpr char kCompatibility[] = "urn:schemas-microsoft-com:compatibility.v1";
constexpr char kSettings2005[] = "http://schemas.microsoft.com/SMI/2005/WindowsSettings";
constexpr char kSettings2016[] = "http://schemas.microsoft.com/SMI/2016/WindowsSettings";

// Windows' identifiers of the systems an application declares itself
// written for (without them Windows 8.1 and later report themselves as 8).
const std::map<std::string, std::string> kSupportedOs{
    {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "Vista"},
    {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "7"},
    {"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "8"},
    {"{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "8.1"},
    {"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "10 and 11"},
};

// Every element called `name` anywhere below `e`, whatever its namespace.
void FindAll(const XmlElement& e, const std::string& name, std::vector<const XmlElement*>& out) {
  for (const auto& child : e.children) {
    if (child.name == name) out.push_back(&child);
    FindAll(child, name, out);
  }
}
std::vector<const XmlElement*> FindAll(const XmlElement& e, const std::string& name) {
  std::vector<const XmlElement*> out;
  FindAll(e, name, out);
  return out;
}
// The children of `e` called `name` in namespace `ns`.
std::vector<const XmlElement*> Children(const XmlElement& e, const std::string& ns,
                                        const std::string& name) {
  std::vector<const XmlElement*> out;
  for (const auto& child : e.children)
    if (child.ns == ns && child.name == name) out.push_back(&child);
  return out;
}
std::string Attribute(const XmlElement& e, const std::string& name) {
  const auto it = e.attributes.find(name);
  return it == e.attributes.end() ? std::string() : it->second;
}

// Four dot-separated numbers of 0 to 65535, as assembly versions are.
bool IsAssemblyVersion(const std::string& v) {
  std::istringstream in(v);
  std::string part;
  int parts = 0;
  while (std::getline(in, part, '.')) {
    if (part.empty() || part.size() > 5 ||
        !std::all_of(part.begin(), part.end(), [](unsigned char c) { return std::isdigit(c); }) ||
        std::stoul(part) > 65535)
      return false;
    ++parts;
  }
  return parts == 4 && v.back() != '.';
}

// What is wrong with a manifest, or nothing.
std::vector<std::string> ManifestProblems(const std::string& text) {
  std::vector<std::string> problems;
  XmlElement root;
  std::string error;
  if (!ReadXml(text, root, error)) return {"not well-formed XML: " + error};
  if (root.ns != kAsmV1 || root.name != "assembly")
    problems.push_back("the root is not asm.v1 assembly");
  if (Attribute(root, "manifestVersion") != "1.0") problems.push_back("manifestVersion is not 1.0");

  const auto identity = Children(root, kAsmV1, "assemblyIdentity");
  if (identity.size() != 1) {
    problems.push_back("the program's assemblyIdentity is missing or repeated");
  } else {
    if (Attribute(*identity[0], "type") != "win32")
      problems.push_back("identity type is not win32");
    if (Attribute(*identity[0], "name").empty()) problems.push_back("identity without a name");
    if (!IsAssemblyVersion(Attribute(*identity[0], "version")))
      problems.push_back("identity version is not four numbers");
  }

  // The common controls of version 6, for the themed look of every control.
  int common_controls = 0;
  for (const XmlElement* dependency : Children(root, kAsmV1, "dependency"))
    for (const XmlElement* dependent : Children(*dependency, kAsmV1, "dependentAssembly"))
      for (const XmlElement* id : Children(*dependent, kAsmV1, "assemblyIdentity")) {
        if (Attribute(*id, "name") != "Microsoft.Windows.Common-Controls") continue;
        ++common_controls;
        if (Attribute(*id, "type") != "win32" || Attribute(*id, "version") != "6.0.0.0" ||
            Lower(Attribute(*id, "publicKeyToken")) != "6595b64144ccf1df" ||
            Attribute(*id, "language") != "*")
          problems.push_back("the common-controls dependency is not version 6's identity");
        const std::string arch = Attribute(*id, "processorArchitecture");
        if (arch != "*" && arch != "x86" && arch != "amd64")
          problems.push_back("the common-controls dependency has no valid processorArchitecture");
      }
  if (common_controls != 1) problems.push_back("no single common-controls v6 dependency");

  // Run with the rights of whoever starts it: no elevation prompt and no
  // registry or file virtualisation.
  std::vector<const XmlElement*> levels;
  for (const char* ns : {kAsmV2, kAsmV3})
    for (const XmlElement* trust : Children(root, ns, "trustInfo"))
      for (const XmlElement* security : Children(*trust, ns, "security"))
        for (const XmlElement* privileges : Children(*security, ns, "requestedPrivileges"))
          for (const XmlElement* level : Children(*privileges, ns, "requestedExecutionLevel"))
            levels.push_back(level);
  if (levels.size() != 1 || FindAll(root, "requestedExecutionLevel").size() != 1) {
    problems.push_back("no single requestedExecutionLevel in trustInfo/security");
  } else {
    if (Attribute(*levels[0], "level") != "asInvoker") problems.push_back("level is not asInvoker");
    const std::string ui = Attribute(*levels[0], "uiAccess");
    if (!ui.empty() && ui != "false") problems.push_back("uiAccess is not false");
  }

  std::set<std::string> declared;
  for (const XmlElement* compatibility : Children(root, kCompatibility, "compatibility"))
    for (const XmlElement* application : Children(*compatibility, kCompatibility, "application"))
      for (const XmlElement* os : Children(*application, kCompatibility, "supportedOS"))
        declared.insert(Lower(Attribute(*os, "Id")));
  if (FindAll(root, "supportedOS").size() != declared.size())
    problems.push_back("a supportedOS outside compatibility/application or repeated");
  for (const auto& [id, system] : kSupportedOs)
    if (!declared.count(id)) problems.push_back("Windows " + system + " is not declared supported");
  for (const std::string& id : declared)
    if (!kSupportedOs.count(id)) problems.push_back("unknown supportedOS " + id);

  // DPI awareness, when declared: each element once, in its own namespace,
  // with a value Windows knows.
  const auto aware = FindAll(root, "dpiAware");
  const auto awareness = FindAll(root, "dpiAwareness");
  std::vector<const XmlElement*> settings;
  for (const XmlElement* application : Children(root, kAsmV3, "application"))
    for (const XmlElement* s : Children(*application, kAsmV3, "windowsSettings"))
      settings.push_back(s);
  size_t placed_aware = 0, placed_awareness = 0;
  for (const XmlElement* s : settings) {
    for (const XmlElement* e : Children(*s, kSettings2005, "dpiAware")) {
      ++placed_aware;
      static const std::set<std::string> kValues{"true", "false", "true/pm", "per monitor"};
      if (!kValues.count(Lower(Trim(e->text)))) problems.push_back("dpiAware '" + e->text + "'");
    }
    for (const XmlElement* e : Children(*s, kSettings2016, "dpiAwareness")) {
      ++placed_awareness;
      static const std::set<std::string> kValues{"unaware", "system", "permonitor", "permonitorv2"};
      std::istringstream in(e->text);
      std::string item;
      int items = 0;
      while (std::getline(in, item, ',')) {
        ++items;
        if (!kValues.count(Lower(Trim(item))))
          problems.push_back("dpiAwareness item '" + item + "'");
      }
      if (items == 0) problems.push_back("empty dpiAwareness");
    }
  }
  if (aware.size() > 1 || aware.size() != placed_aware)
    problems.push_back("dpiAware repeated or outside application/windowsSettings in its namespace");
  if (awareness.size() > 1 || awareness.size() != placed_awareness)
    problems.push_back(
        "dpiAwareness repeated or outside application/windowsSettings in its namespace");
  return problems;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::filesystem::path ResourceFolder() { return std::filesystem::path(ZT_SOURCE_DIR) / "res"; }

std::string Join(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += "\n  " + l;
  return out;
}

TEST(Manifest, EveryManifestOfTheProgramIsSound) {
  int manifests = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ResourceFolder())) {
    if (entry.path().extension() != ".manifest") continue;
    ++manifests;
    const std::string text = ReadFile(entry.path());
    ASSERT_FALSE(text.empty()) << entry.path();
    const auto problems = ManifestProblems(text);
    EXPECT_TRUE(problems.empty()) << entry.path() << Join(problems);
  }
  EXPECT_GE(manifests, 1) << "no manifest in " << ResourceFolder();
}

// The program's own manifest, each time broken in one way Windows would not
// accept: the reader must see every one.
TEST(Manifest, TheCheckerSeesWhatWindowsRefuses) {
  const std::string good = ReadFile(ResourceFolder() / "zettrim.manifest");
  ASSERT_TRUE(ManifestProblems(good).empty());
  const struct {
    const char* what;
    const char* from;
    const char* to;
  } cases[] = {
      {"unclosed element", "</dependency>", ""},
      {"misnested elements", "</security>\n  </trustInfo>", "</trustInfo>\n  </security>"},
      {"attribute twice", "manifestVersion=\"1.0\"",
       "manifestVersion=\"1.0\" manifestVersion=\"1.0\""},
      {"unquoted attribute", "level=\"asInvoker\"", "level=asInvoker"},
      {"attributes run together", "level=\"asInvoker\" uiAccess", "level=\"asInvoker\"uiAccess"},
      {"bare ampersand", "<description>Zettrim", "<description>Zettrim & co"},
      {"comment with --", "<!-- Vista -->", "<!-- Vista -- Windows 6.0 -->"},
      {"text after the root", "</assembly>", "</assembly>x"},
      {"undeclared prefix", "<description>", "<asm:description>"},
      {"declaration not first", "<?xml", " <?xml"},
      {"wrong root namespace", "urn:schemas-microsoft-com:asm.v1\"",
       "urn:schemas-microsoft-com:asm.v2\""},
      {"elevation", "\"asInvoker\"", "\"requireAdministrator\""},
      {"old common controls", "version=\"6.0.0.0\"", "version=\"5.82.0.0\""},
      {"malformed own version", "version=\"2.0.0.0\"", "version=\"2.0\""},
      {"Windows 10 not declared", "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",
       ""},
      {"mistyped system", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
       "{35138b9a-5d96-4fbd-8e2d-a2440225f93b}"},
      {"dpiAware value", ">true/pm</dpiAware>", ">yes</dpiAware>"},
      {"dpiAwareness value", ">PerMonitorV2, PerMonitor<", ">PerMonitorV2, PerScreen<"},
  };
  for (const auto& c : cases) {
    std::string broken = good;
    const size_t at = broken.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.what;
    broken.replace(at, std::strlen(c.from), c.to);
    EXPECT_FALSE(ManifestProblems(broken).empty()) << c.what;
  }
  EXPECT_FALSE(ManifestProblems(good.substr(0, good.size() / 2)).empty()) << "cut short";
  EXPECT_FALSE(ManifestProblems(good + "\xC3").empty()) << "broken UTF-8";
}

// The awareness may change; every form Windows documents is accepted, in its
// own namespace only.
TEST(Manifest, EveryValidDpiAwarenessFormIsAccepted) {
  const std::string good = ReadFile(ResourceFolder() / "zettrim.manifest");
  // Both declarations are replaced by the form under test.
  const size_t begin = good.find("<dpiAware");
  const size_t end = good.find("</dpiAwareness>");
  ASSERT_NE(begin, std::string::npos);
  ASSERT_NE(end, std::string::npos);
  auto with = [&](const std::string& settings) {
    std::string m = good;
    m.replace(begin, end + std::strlen("</dpiAwareness>") - begin, settings);
    return ManifestProblems(m);
  };
  const std::string aware =
      "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">";
  const std::string awareness =
      "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">";
  for (const std::string& ok : std::vector<std::string>{
           aware + "true/pm</dpiAware>" + awareness + "PerMonitorV2, PerMonitor</dpiAwareness>",
           aware + "true</dpiAware>", aware + "True/PM</dpiAware>",
           aware + "per monitor</dpiAware>", awareness + "system</dpiAwareness>", std::string()})
    EXPECT_TRUE(with(ok).empty()) << ok << Join(with(ok));
  for (const std::string& bad : std::vector<std::string>{
           aware + "PerMonitorV2</dpiAware>", awareness + "PerMonitorV3</dpiAwareness>",
           awareness + "</dpiAwareness>",
           "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">"
           "PerMonitorV2</dpiAwareness>",
           aware + "true</dpiAware>" + aware + "true</dpiAware>"})
    EXPECT_FALSE(with(bad).empty()) << bad;
}

// The program lays itself out at each monitor's scaling and says so: per
// monitor (v2) where Windows 10 knows it, per monitor (v1) on the systems
// before, and the system-wide scaling on Vista to 8, which read "true/pm" as
// "true".  Declared unaware, Windows would stretch every window as a bitmap.
TEST(Manifest, TheProgramDeclaresItselfAwareOfEachMonitorsScaling) {
  XmlElement root;
  std::string error;
  ASSERT_TRUE(ReadXml(ReadFile(ResourceFolder() / "zettrim.manifest"), root, error)) << error;
  const auto aware = FindAll(root, "dpiAware");
  const auto awareness = FindAll(root, "dpiAwareness");
  ASSERT_EQ(aware.size(), 1u);
  ASSERT_EQ(awareness.size(), 1u);
  EXPECT_EQ(Lower(Trim(aware[0]->text)), "true/pm");
  std::vector<std::string> modes;
  std::istringstream in(awareness[0]->text);
  for (std::string item; std::getline(in, item, ',');) modes.push_back(Lower(Trim(item)));
  EXPECT_EQ(modes, (std::vector<std::string>{"permonitorv2", "permonitor"}));
}

}  // namespace
}  // namespace zt
