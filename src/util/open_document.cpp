#include "util/open_document.h"

#include "util/texts.h"

namespace zt {

std::string OpenDocumentErrorText(const std::string& target, const std::string& system_text, int code) {
  std::string text = system_text;
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                           text.back() == '.')) {
    text.pop_back();
  }
  return Format(TextId::OpenDocumentFailed, {target, text, std::to_string(code)});
}

}  // namespace zt
