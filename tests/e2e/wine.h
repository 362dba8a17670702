// The Windows programs of <build>/windows/bin under Wine (wine64), for the
// end-to-end tests: Wine's command line and environment in the build tree's
// prefix (or a test's own), the reason to skip when Wine is missing or too
// old, and the stop of the prefix's wineserver after each test, so that
// nothing outlives the test's own Xvfb. WINDOWS_BIN, WINE, WINESERVER,
// WINE_PREFIX and WINE_SKIP_REASON come from the build.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "harness.h"

namespace e2e {

// Skips the current test when Wine cannot run it.
#define SKIP_WITHOUT_WINE()                                          \
  do {                                                               \
    if (*WINE_SKIP_REASON != '\0') GTEST_SKIP() << WINE_SKIP_REASON; \
  } while (0)

inline std::string windowsProgram(const std::string& exe) { return std::string(WINDOWS_BIN) + "/" + exe; }

// Wine's environment in a prefix: quiet, without the Mono and Gecko
// installers, and without menu entries on the Linux desktop for the
// shortcuts a Windows installer makes.
inline std::vector<std::string> wineEnvironment(const std::string& prefix = WINE_PREFIX) {
  return {"WINEPREFIX=" + prefix, "WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d"};
}

// Starts exe from <build>/windows/bin under Wine; workdir empty: the test's own.
inline Launch wineLaunch(const std::string& exe, const std::string& workdir = "") {
  Launch how;
  how.argv = {WINE, windowsProgram(exe)};
  how.env = wineEnvironment();
  how.env.push_back("SDL_VIDEODRIVER=windib");  // SDL's Windows driver, not the harness's x11
  how.workdir = workdir;
  how.timeoutSeconds = 60;
  return how;
}

inline void stopWineServer(const std::string& prefix = WINE_PREFIX) {
  const std::string server = "WINEPREFIX='" + prefix + "' '" + WINESERVER + "'";
  int status = std::system((server + " -k >/dev/null 2>&1; " + server + " -w >/dev/null 2>&1").c_str());
  (void)status;  // fails harmlessly when no server runs
}

}  // namespace e2e
