#include "util/open_document.h"

namespace zt {

std::string OpenDocumentErrorText(const std::string& target, const std::string& system_text, int code) {
  std::string text = system_text;
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                           text.back() == '.')) {
    text.pop_back();
  }
  return "Could not open the following file:\r\r" + target + "\r\rError: " + text + " (" +
         std::to_string(code) + ").";
}

}  // namespace zt
