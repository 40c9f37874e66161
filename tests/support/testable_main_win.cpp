// Entry of zettrim-testable, the program the end-to-end tests drive: the
// program's own run, with the query window of app_query_win.h beside it for
// as long as the run lasts.
#include <windows.h>

#include "app/application_win.h"
#include "support/app_query_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  zt::TApplication application;
  const zt::test::AppQueryWindow query(application);
  return application.Run(instance, show_command);
}
