// What the program is, beside what its user sets: its title, version and
// build date, the maker's online pages and contact address, and the two text
// files that ship beside the executable.  The main window's menu, the about
// window and the start-up all show or open them.  Portable.
#pragma once

#include <string>

namespace zt {

inline constexpr const char* kApplicationTitle = "Zettrim";

constexpr int kProgramVersionMajor = 2;
constexpr int kProgramVersionMinor = 0;
std::string ProgramVersion();  // "2.0"
std::string BuildDate();       // "2013-12-16"

// The maker's pages opened from the Help menu, kept together so a new
// address is a one-line change.
inline constexpr const char* kHelpAddress = "https://zettrim.quorl.net/help/";
inline constexpr const char* kForumAddress = "https://zettrim.quorl.net/forum/";
inline constexpr const char* kDonateAddress = "https://zettrim.quorl.net/donate/";
// The maker's web site and support e-mail address (about window).
inline constexpr const char* kWebsiteAddress = "https://zettrim.quorl.net/";
inline constexpr const char* kSupportEmail = "support@quorl.net";
// The two text files that ship beside the executable, opened by bare name.
inline constexpr const char* kHistoryFile = "History.txt";
inline constexpr const char* kCopyrightsFile = "Copyrights.txt";

}  // namespace zt
