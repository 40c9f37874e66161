#include "dialogs/about_model.h"

#include "config/program.h"

namespace zt {

namespace {
const char* const kAuthor = "Harnet Olvey";
}  // namespace

const char* const kTranslatorCredit = "简体中文：quorl";

AboutTexts MakeAboutTexts(const std::string& translator_credit) {
  AboutTexts t;
  t.title = kApplicationTitle;
  t.version = "版本： " + ProgramVersion();
  t.date = "日期： " + BuildDate();
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
