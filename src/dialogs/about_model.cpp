#include "dialogs/about_model.h"

#include "config/program.h"
#include "util/texts.h"

namespace zt {

namespace {
const char* const kAuthor = "Harnet Olvey";
}  // namespace

std::string TranslatorCredit() { return Text(TextId::AboutTranslatorCredit); }

AboutTexts MakeAboutTexts(const std::string& translator_credit) {
  AboutTexts t;
  t.title = kApplicationTitle;
  t.version = Format(TextId::AboutVersion, {ProgramVersion()});
  t.date = Format(TextId::AboutDate, {BuildDate()});
  t.author = kAuthor;
  t.email = kSupportEmail;
  t.website = kWebsiteAddress;
  t.translator = !translator_credit.empty() && translator_credit[0] == '#' ? "---" : translator_credit;
  return t;
}

std::string EmailLinkTarget() { return std::string("mailto:") + kSupportEmail + "?subject=Zettrim"; }

std::string WebsiteLinkTarget() { return kWebsiteAddress; }

std::string ClipboardIdentification() {
  return std::string(kApplicationTitle) + " " + ProgramVersion() + " (" + BuildDate() + ")";
}

}  // namespace zt
