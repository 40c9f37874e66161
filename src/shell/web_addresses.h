// The maker's online pages opened from the Help menu and the contact
// addresses of the about window, kept together so a new address is a
// one-line change.  Portable.
#pragma once

namespace zt {

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
