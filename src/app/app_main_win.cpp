// Program entry: one run of the program (application_win.h).
#include <windows.h>

#include <cstdlib>

#include "app/application_win.h"

// An exception nothing caught ends the program with abort(), as it always
// did.  The library's own handler first names the exception's type on
// stderr, which a windowed program does not have, and for that links a C++
// name demangler of some 45 KB into the executable; this one replaces it.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  zt::TApplication application;
  return application.Run(instance, show_command);
}
