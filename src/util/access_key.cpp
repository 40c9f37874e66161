#include "util/access_key.h"

namespace zt {
namespace {

constexpr char kFullWidthColon[] = "：";

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Where the marker "&" of a caption stands (a lone "&", not "&&").
size_t MarkerAt(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return i;
    ++i;  // "&&" is a plain "&"
  }
  return std::string::npos;
}

}  // namespace

std::string WithAccessKey(const std::string& caption, char key) {
  const std::string marker = std::string("(&") + Upper(key) + ")";
  for (const char* colon : {kFullWidthColon, ":"}) {
    const std::string end = colon;
    if (EndsWith(caption, end)) return caption.substr(0, caption.size() - end.size()) + marker + end;
  }
  return caption + marker;
}

std::string WithoutAccessKey(const std::string& caption) {
  const size_t at = MarkerAt(caption);
  std::string out = caption;
  if (at != std::string::npos) {
    // The bracketed form goes as a whole, brackets and all.
    if (at > 0 && caption[at - 1] == '(' && at + 2 < caption.size() && caption[at + 2] == ')') {
      out = caption.substr(0, at - 1) + caption.substr(at + 3);
    } else {
      out = caption.substr(0, at) + caption.substr(at + 1);
    }
  }
  // What is left of "&&" reads as one "&".
  std::string plain;
  for (size_t i = 0; i < out.size(); ++i) {
    plain.push_back(out[i]);
    if (out[i] == '&' && i + 1 < out.size() && out[i + 1] == '&') ++i;
  }
  return plain;
}

char AccessKeyOf(const std::string& caption) {
  const size_t at = MarkerAt(caption);
  return at == std::string::npos ? 0 : Upper(caption[at + 1]);
}

}  // namespace zt
