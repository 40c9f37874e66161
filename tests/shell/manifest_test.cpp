// The program's manifests (res/*.manifest).  Windows refuses to start an
// executable whose manifest is not well-formed XML or says what its loader
// does not accept, and Wine starts it all the same: nothing else would notice
// before a user on Windows does.  A small strict reader checks the XML, then
// the declarations the program relies on are held against Windows' own
// identifiers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace zt {
namespace {

// --- a strict reader for well-formed XML 1.0 with namespaces ----------------

struct XmlElement {
  std::string ns;                                 // namespace name, empty for none
  std::string name;                               // local name
  std::map<std::string, std::string> attributes;  // unprefixed attributes by name
  std::vector<XmlElement> children;
  std::string text;  // character data directly inside, references resolved
};

class XmlReader {
 public:
  explicit XmlReader(const std::string& doc) : s_(doc) {}

  // The document element, or an error naming the first fault and its byte
  // offset.
  bool Read(XmlElement& root, std::string& error) {
    try {
      if (!ValidUtf8()) Fail("not UTF-8, or a control character");
      if (s_.compare(0, 3, "\xEF\xBB\xBF") == 0) at_ = 3;
      if (Ahead("<?xml") && at_ + 5 < s_.size() && IsSpace(s_[at_ + 5])) Declaration();
      Misc();
      if (!Ahead("<") || Ahead("<!")) Fail("no document element");
      std::map<std::string, std::string> scope{{"xml", "http://www.w3.org/XML/1998/namespace"}};
      Element(scope, root);
      Misc();
      if (at_ != s_.size()) Fail("content after the document element");
      return true;
    } catch (const std::string& e) {
      error = e;
      return false;
    }
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw what + " at byte " + std::to_string(at_);
  }
  static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  static bool IsNameStart(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalpha(u) || c == '_' || c == ':' || u >= 0x80;
  }
  static bool IsNameChar(char c) {
    return IsNameStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.';
  }
  bool Ahead(const char* text) const { return s_.compare(at_, std::strlen(text), text) == 0; }
  void Expect(const char* text) {
    if (!Ahead(text)) Fail(std::string("expected '") + text + "'");
    at_ += std::strlen(text);
  }
  bool Spaces() {
    const size_t start = at_;
    while (at_ < s_.size() && IsSpace(s_[at_])) ++at_;
    return at_ != start;
  }

  // Every byte sequence a valid UTF-8 character (no overlong forms, no
  // surrogates), and no control character but tab, CR and LF.
  bool ValidUtf8() const {
    for (size_t i = 0; i < s_.size();) {
      const auto c = static_cast<unsigned char>(s_[i]);
      if (c < 0x80) {
        if (c < 0x20 && c != '\t' && c != '\r' && c != '\n') return false;
        ++i;
        continue;
      }
      // Continuation bytes, the bits of the lead byte, the least value
      // that needs this many bytes.
      size_t n = 0;
      uint32_t cp = 0, min = 0;
      if ((c & 0xE0) == 0xC0) {
        n = 1, cp = c & 0x1F, min = 0x80;
      } else if ((c & 0xF0) == 0xE0) {
        n = 2, cp = c & 0x0F, min = 0x800;
      } else if ((c & 0xF8) == 0xF0) {
        n = 3, cp = c & 0x07, min = 0x10000;
      } else {
        return false;
      }
      if (i + n >= s_.size()) return false;
      for (size_t k = 1; k <= n; ++k) {
        const auto d = static_cast<unsigned char>(s_[i + k]);
        if ((d & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (d & 0x3F);
      }
      if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
      i += n + 1;
    }
    return true;
  }

  std::string Name() {
    if (at_ >= s_.size() || !IsNameStart(s_[at_])) Fail("expected a name");
    const size_t start = at_;
    while (at_ < s_.size() && IsNameChar(s_[at_])) ++at_;
    const std::string name = s_.substr(start, at_ - start);
    const size_t colon = name.find(':');
    if (colon != std::string::npos &&
        (colon == 0 || colon + 1 == name.size() || name.find(':', colon + 1) != std::string::npos))
      Fail("malformed qualified name '" + name + "'");
    return name;
  }

  // Character data up to `stop`, with its references resolved.
  std::string Text(const char* stop, bool attribute) {
    std::string out;
    while (at_ < s_.size() && !Ahead(stop)) {
      const char c = s_[at_];
      if (c == '<') {
        if (attribute) Fail("'<' in an attribute value");
        break;
      }
      if (c == '&') {
        out += Reference();
        continue;
      }
      if (!attribute && Ahead("]]>")) Fail("']]>' in text");
      out += attribute && (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
      ++at_;
    }
    return out;
  }

  std::string Reference() {
    Expect("&");
    static const std::map<std::string, std::string> kEntities{
        {"lt", "<"}, {"gt", ">"}, {"amp", "&"}, {"quot", "\""}, {"apos", "'"}};
    const size_t end = s_.find(';', at_);
    if (end == std::string::npos || end == at_) Fail("'&' without a reference");
    const std::string ref = s_.substr(at_, end - at_);
    at_ = end + 1;
    if (ref[0] != '#') {
      const auto it = kEntities.find(ref);
      if (it == kEntities.end()) Fail("unknown entity '" + ref + "'");
      return it->second;
    }
    const bool hex = ref.size() > 1 && ref[1] == 'x';
    const std::string digits = ref.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 6 ||
        !std::all_of(digits.begin(), digits.end(), [hex](char d) {
          return hex ? std::isxdigit(static_cast<unsigned char>(d)) != 0
                     : std::isdigit(static_cast<unsigned char>(d)) != 0;
        }))
      Fail("malformed character reference");
    const unsigned long cp = std::stoul(digits, nullptr, hex ? 16 : 10);
    if (cp > 0x7F) return "?";  // the checks below look at ASCII only
    if (cp < 0x20 && cp != '\t' && cp != '\n' && cp != '\r')
      Fail("reference to a control character");
    return std::string(1, static_cast<char>(cp));
  }

  void Declaration() {
    Expect("<?xml");
    std::vector<std::string> order;
    std::map<std::string, std::string> values;
    while (Spaces() && !Ahead("?>")) {
      const std::string name = Name();
      Spaces();
      Expect("=");
      Spaces();
      values[name] = Quoted();
      order.push_back(name);
    }
    Expect("?>");
    static const std::vector<std::vector<std::string>> kForms{
        {"version"},
        {"version", "encoding"},
        {"version", "standalone"},
        {"version", "encoding", "standalone"}};
    if (std::find(kForms.begin(), kForms.end(), order) == kForms.end())
      Fail("malformed XML declaration");
    if (values["version"] != "1.0") Fail("XML version other than 1.0");
    if (values.count("encoding")) {
      std::string e = values["encoding"];
      std::transform(e.begin(), e.end(), e.begin(),
                     [](unsigned char c) { return std::toupper(c); });
      if (e != "UTF-8") Fail("encoding other than UTF-8");
    }
    if (values.count("standalone") && values["standalone"] != "yes" && values["standalone"] != "no")
      Fail("standalone neither yes nor no");
  }

  std::string Quoted() {
    if (at_ >= s_.size() || (s_[at_] != '"' && s_[at_] != '\'')) Fail("unquoted value");
    const char quote[2] = {s_[at_++], 0};
    std::string value = Text(quote, true);
    Expect(quote);
    return value;
  }

  void Comment() {
    Expect("<!--");
    const size_t end = s_.find("--", at_);
    if (end == std::string::npos) Fail("unterminated comment");
    at_ = end;
    Expect("-->");  // "--" inside a comment is not allowed
  }

  void Instruction() {
    Expect("<?");
    std::string target = Name();
    std::transform(target.begin(), target.end(), target.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (target == "xml") Fail("XML declaration not at the start");
    const size_t end = s_.find("?>", at_);
    if (end == std::string::npos) Fail("unterminated processing instruction");
    at_ = end + 2;
  }

  void Misc() {
    for (;;) {
      Spaces();
      if (Ahead("<!--"))
        Comment();
      else if (Ahead("<?"))
        Instruction();
      else if (Ahead("<!"))
        Fail("document type declarations are not expected in a manifest");
      else
        return;
    }
  }

  static std::string Resolve(const std::map<std::string, std::string>& scope,
                             const std::string& prefix, size_t at) {
    const auto it = scope.find(prefix);
    if (it == scope.end()) throw "undeclared prefix '" + prefix + "' at byte " + std::to_string(at);
    return it->second;
  }

  void Element(std::map<std::string, std::string> scope, XmlElement& out) {
    const size_t start = at_;
    Expect("<");
    const std::string qname = Name();
    std::vector<std::pair<std::string, std::string>> raw;
    std::set<std::string> seen;
    for (;;) {
      const bool spaced = Spaces();
      if (Ahead("/>") || Ahead(">")) break;
      if (!spaced) Fail("attributes not separated by white space");
      const std::string name = Name();
      Spaces();
      Expect("=");
      Spaces();
      const std::string value = Quoted();
      if (!seen.insert(name).second) Fail("attribute '" + name + "' given twice");
      raw.emplace_back(name, value);
    }
    // Namespace declarations first: they apply to the element's own name
    // and attributes.
    for (const auto& [name, value] : raw) {
      if (name == "xmlns")
        scope[""] = value;
      else if (name.rfind("xmlns:", 0) == 0) {
        if (value.empty()) Fail("empty namespace for a prefix");
        scope[name.substr(6)] = value;
      }
    }
    const size_t colon = qname.find(':');
    out.name = colon == std::string::npos ? qname : qname.substr(colon + 1);
    out.ns = colon == std::string::npos ? (scope.count("") ? scope.at("") : std::string())
                                        : Resolve(scope, qname.substr(0, colon), start);
    std::set<std::pair<std::string, std::string>> expanded;
    for (const auto& [name, value] : raw) {
      if (name == "xmlns" || name.rfind("xmlns:", 0) == 0) continue;
      const size_t c = name.find(':');
      const std::string ns = c == std::string::npos ? "" : Resolve(scope, name.substr(0, c), start);
      const std::string local = c == std::string::npos ? name : name.substr(c + 1);
      if (!expanded.insert({ns, local}).second) Fail("attribute '" + local + "' given twice");
      if (ns.empty()) out.attributes[local] = value;
    }
    if (Ahead("/>")) {
      at_ += 2;
      return;
    }
    Expect(">");
    for (;;) {
      out.text += Text("<", false);
      if (at_ >= s_.size()) Fail("element '" + qname + "' not closed");
      if (Ahead("</")) break;
      if (Ahead("<!--"))
        Comment();
      else if (Ahead("<![CDATA[")) {
        at_ += 9;
        const size_t end = s_.find("]]>", at_);
        if (end == std::string::npos) Fail("unterminated CDATA section");
        out.text += s_.substr(at_, end - at_);
        at_ = end + 3;
      } else if (Ahead("<?"))
        Instruction();
      else if (Ahead("<!"))
        Fail("markup declaration inside an element");
      else {
        out.children.emplace_back();
        Element(scope, out.children.back());
      }
    }
    Expect("</");
    if (Name() != qname) Fail("'" + qname + "' closed by another name");
    Spaces();
    Expect(">");
  }

  const std::string& s_;
  size_t at_ = 0;
};

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

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}
std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

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
  if (!XmlReader(text).Read(root, error)) return {"not well-formed XML: " + error};
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
  ASSERT_TRUE(XmlReader(ReadFile(ResourceFolder() / "zettrim.manifest")).Read(root, error)) << error;
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
