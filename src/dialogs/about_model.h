// What the about window shows and does: the texts of its labels, the address
// each link opens and the line its header copies.  Portable.
#pragma once

#include <string>

namespace zt {

struct AboutTexts {
  std::string title;       // "Zettrim"
  std::string version;     // "Version: 2.0"
  std::string date;        // "Date: 2013-12-16"
  std::string author;
  std::string email;
  std::string website;
  std::string translator;  // "---" for a credit left as a placeholder
};

// The texts for the given translation credit: a credit that begins with "#"
// (a translation that left the placeholder in) shows as "---".
AboutTexts MakeAboutTexts(const std::string& translator_credit);

// The credit of the interface translation of the current language.
std::string TranslatorCredit();

// What the e-mail link opens: a new message to the support address with the
// subject "Zettrim".
std::string EmailLinkTarget();
// What the web-site link opens.
std::string WebsiteLinkTarget();


// The one-line identification the header copies: "Zettrim 2.0 (2013-12-16)".
std::string ClipboardIdentification();

}  // namespace zt
