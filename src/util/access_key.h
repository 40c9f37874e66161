// Access keys in captions: the letter after "&" is the key Alt opens the
// control with.  Chinese captions carry it as a Latin letter in brackets
// before a closing colon or at the end: "在启动时自动运行(&R)",
// "快速切换热键(&K)：".  Portable.
#pragma once

#include <string>

namespace zt {

// The caption with the marker for `key` (an upper-case letter or digit).
std::string WithAccessKey(const std::string& caption, char key);

// The caption as it reads without its marker: "背景颜色(&B)：" gives
// "背景颜色：", "&Yes" gives "Yes"; "&&" stands for one "&".
std::string WithoutAccessKey(const std::string& caption);

// The key a caption's marker names, upper case; 0 when it has none.
char AccessKeyOf(const std::string& caption);

}  // namespace zt
