// The table of texts: complete in both languages, the rule that picks one,
// and the only place in the program's sources that holds what a user reads.
#include "util/texts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>

#include "util/access_key.h"

namespace zt {
namespace {

// The placeholders ("{}") of a text and any stray brace, in order.
std::string Placeholders(const std::string& text) {
  std::string braces;
  for (char c : text) if (c == '{' || c == '}') braces.push_back(c);
  return braces;
}

// Complete in both languages, with the same placeholders; the information
// window's two menus with an access key of its own on every item.
TEST(Texts, EveryNameHasATextInBothLanguagesWithTheSamePlaceholders) {
  using T = TextId;
  for (Language language : {Language::Chinese, Language::English}) {
    for (int i = 0; i < kTextCount; ++i) {
      const std::string text = TextIn(language, static_cast<TextId>(i));
      EXPECT_FALSE(text.empty()) << "text " << i;
      EXPECT_EQ(Placeholders(text), Placeholders(TextIn(Language::Chinese, static_cast<TextId>(i)))) << text;
    }
    for (const auto& menu : {std::vector<T>{T::InfoMenuCopy, T::InfoMenuSelectAll},
                             std::vector<T>{T::InfoMenuCopyPage, T::InfoMenuCopyReport, T::InfoMenuSaveReport}}) {
      std::set<char> keys;
      for (TextId item : menu) EXPECT_TRUE(keys.insert(AccessKeyOf(TextIn(language, item))).second);
      EXPECT_EQ(keys.count(0), 0u);
    }
  }
}

// Any Chinese region; 0x0411 Japanese and 0x0412 Korean are not Chinese.
TEST(Texts, TheSettingChoosesAndOtherwiseAnyChineseSystemGivesChinese) {
  EXPECT_EQ(LanguageFor("zh-CN", 0x0409), Language::Chinese);
  EXPECT_EQ(LanguageFor("en-US", 0x0804), Language::English);
  for (uint16_t system : {0x0804, 0x0404, 0x0C04, 0x1004, 0x1404, 0x7C04, 0x0409, 0x0407, 0x0411, 0x0412, 0xFFFF}) {
    const Language expected = (system & 0x3FF) == 4 ? Language::Chinese : Language::English;
    EXPECT_EQ(LanguageFor("", system), expected) << system;
    EXPECT_EQ(LanguageFor("zh-cn", system), expected) << system;
  }
}

TEST(Texts, FormatFillsInOrderAndLeavesAValueAsItIs) {
  EXPECT_EQ(FormatIn(Language::English, TextId::SettingsFileNotSaved, {"C:\\{}.ini", "Denied"}),
            "Could not save the settings file: C:\\{}.ini\r\n\r\nDenied\r\n\r\nThe settings changed in this run are lost.");
  EXPECT_EQ(FormatIn(Language::Chinese, TextId::TrayTipMemory, {}), "内存: %");
}

#ifndef _WIN32
// What a user reads is in the table and nowhere else: no string in the
// sources outside it holds a Chinese character or an English sentence (the
// identification library and the measuring code keep their own English, as
// they always have).
TEST(Texts, NoSourceFileOutsideTheTableHoldsWhatAUserReads) {
  namespace fs = std::filesystem;
  const fs::path src = fs::path(ZT_SOURCE_DIR) / "src";
  const std::regex literal(R"re(L?"((?:[^"\\\n]|\\.)*)")re");
  const std::regex cjk("[\xE4-\xE9][\x80-\xBF][\x80-\xBF]");  // U+4E00..U+9FFF
  const std::regex sentence("^[A-Z][a-z]+( [a-z']+){2,}");
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(src)) {
    const std::string rel = fs::relative(entry.path(), src).generic_string();
    if (!entry.is_regular_file() || rel == "util/texts.cpp") continue;
    ++files;
    std::ifstream in(entry.path(), std::ios::binary);
    std::string code(std::istreambuf_iterator<char>(in), {});
    // Comments out first (a "//" inside a string is not one).
    std::string bare;
    for (size_t i = 0; i < code.size(); ++i) {
      if (code[i] == '"' || code[i] == '\'') {
        const char quote = code[i];
        size_t j = i + 1;
        while (j < code.size() && code[j] != quote && code[j] != '\n') j += code[j] == '\\' ? 2 : 1;
        // A character literal stands as a blank one: a quote in it would
        // look like the start of a string.
        if (quote == '"') bare.append(code, i, j - i + 1);
        else bare += "' '";
        i = j;
      } else if (code.compare(i, 2, "//") == 0) {
        i = code.find('\n', i) - 1;
      } else if (code.compare(i, 2, "/*") == 0) {
        i = code.find("*/", i) + 1;
      } else {
        bare.push_back(code[i]);
      }
    }
    const bool own_english = rel.rfind("cpuid/", 0) == 0 || rel.rfind("sampling/", 0) == 0;
    for (std::sregex_iterator it(bare.begin(), bare.end(), literal), end; it != end; ++it) {
      const std::string text = (*it)[1];
      EXPECT_FALSE(std::regex_search(text, cjk)) << rel << ": " << text;
      EXPECT_FALSE(!own_english && std::regex_search(text, sentence)) << rel << ": " << text;
    }
  }
  EXPECT_GT(files, 100);
}
#endif

}  // namespace
}  // namespace zt
