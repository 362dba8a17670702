// The Windows zip that cpack made (the package fixture), unpacked into a
// scratch folder: it holds the four programs, SDL.dll, SDL's licence and the
// README, and each program starts under Wine from there, with only the
// SDL.dll beside it to load, and ends with status 0 on the close box. The
// installer made beside it, run silently in a fresh prefix of its own, puts
// the same files and its uninstaller under Program Files or into the folder
// /D names (replacing a copy elsewhere), a Start-menu shortcut for each
// program and an entry in Settings' installed apps;
// escapeplot.exe draws from there as from the build, and the silent
// uninstaller takes every file, shortcut and the entry away again.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "escapeplot_oracle.h"
#include "harness.h"
#include "wine.h"

namespace fs = std::filesystem;

namespace {

const std::string folderName = "fractals-" PACKAGE_VERSION "-win64";

std::set<std::string> entries(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().string());
  return names;
}

class WindowsZip : public ::testing::Test {
 protected:
  fs::path folder;
  e2e::App app;

  void SetUp() override {
    SKIP_WITHOUT_WINE();
    const fs::path zip = fs::path(PACKAGE_OUT) / (folderName + ".zip");
    ASSERT_TRUE(fs::exists(zip)) << zip << " was not made";
    const fs::path scratch = fs::path(PACKAGE_OUT) / "zip-unpacked";
    fs::remove_all(scratch);
    fs::create_directories(scratch);
    const std::string unzip = "cd '" + scratch.string() + "' && cmake -E tar xf '" + zip.string() + "'";
    ASSERT_EQ(std::system(unzip.c_str()), 0) << unzip;
    folder = scratch / folderName;
  }
  void TearDown() override {
    e2e::kill(app);
    e2e::stopWineServer();
  }
};

TEST_F(WindowsZip, HoldsTheProgramsSdlAndItsLicence) {
  EXPECT_EQ(entries(folder), (std::set<std::string>{"README.txt", "SDL-COPYING.txt", "SDL.dll", "escapeplot.exe",
                                                     "ngonchaos.exe", "ruletri.exe", "tetrachaos.exe"}));
  std::ifstream licence(folder / "SDL-COPYING.txt");
  std::ostringstream text;
  text << licence.rdbuf();
  EXPECT_NE(text.str().find("GNU LESSER GENERAL PUBLIC LICENSE"), std::string::npos);
}

TEST_F(WindowsZip, EachProgramStartsUnderWineAndCloses) {
  struct Program {
    std::string exe;
    int width;  // 0: ruletri, found by its title
    int height;
  };
  for (const Program& program : {Program{"tetrachaos.exe", 1000, 600}, Program{"ngonchaos.exe", 640, 480},
                                 Program{"escapeplot.exe", 640, 480}, Program{"ruletri.exe", 0, 0}}) {
    SCOPED_TRACE(program.exe);
    e2e::Launch how = e2e::wineLaunch(program.exe, folder.string());
    how.argv[1] = (folder / program.exe).string();
    how.width = program.width;
    how.height = program.height;
    bool shown = program.width == 0 ? e2e::launchTitled(app, how, "Nestri") : e2e::launch(app, how);
    ASSERT_TRUE(shown) << "no window appeared";
    e2e::closeWindow(app);
    EXPECT_EQ(e2e::waitExit(app, 30), 0);
    e2e::kill(app);
    e2e::stopWineServer();
  }
}

const std::string uninstallKey = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Fractals";

class WindowsInstaller : public ::testing::Test {
 protected:
  const std::string prefix = std::string(PACKAGE_OUT) + "/installer-prefix";
  const fs::path folder = fs::path(prefix) / "drive_c/Fractal Programs";
  const fs::path menu = fs::path(prefix) / "drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Fractals";
  e2e::App app;

  void SetUp() override {
    SKIP_WITHOUT_WINE();
    fs::remove_all(prefix);
    const std::string make = "'" WINE_PREFIX_SCRIPT "' '" WINE "' '" + prefix + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(make.c_str()), 0) << make;
  }
  void TearDown() override {
    e2e::kill(app);
    e2e::stopWineServer(prefix);
  }
  e2e::Launch wine(const std::vector<std::string>& arguments) {
    e2e::Launch how;
    how.argv = {WINE};
    how.argv.insert(how.argv.end(), arguments.begin(), arguments.end());
    how.env = e2e::wineEnvironment(prefix);
    how.timeoutSeconds = 60;
    return how;
  }
  // What reg query lists of the installer's entry; empty when there is none.
  std::string uninstallEntry() {
    std::string command = "env";
    for (const std::string& setting : e2e::wineEnvironment(prefix)) command += " '" + setting + "'";
    command += " '" WINE "' reg query '" + uninstallKey + "' 2>/dev/null";
    FILE* out = popen(command.c_str(), "r");
    if (!out) return "";
    std::string text;
    char buffer[512];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, out)) > 0;) text.append(buffer, n);
    return pclose(out) == 0 ? text : "";
  }
};

TEST_F(WindowsInstaller, InstallsSilentlyRunsFromItsFolderAndUninstallsWithoutATrace) {
  const fs::path installer = fs::path(PACKAGE_OUT) / (folderName + "-setup.exe");
  ASSERT_TRUE(fs::exists(installer)) << installer << " was not made";
  // Into Program Files first; then into another folder, which takes the
  // place of the first copy. /D takes the rest of the command line unquoted,
  // as an administrator types it; Wine would quote one argument holding a
  // space, so it gets two.
  const fs::path programFiles = fs::path(prefix) / "drive_c/Program Files/Fractals";
  ASSERT_EQ(e2e::runToExit(wine({installer.string(), "/S"}), 120), 0);
  EXPECT_TRUE(fs::exists(programFiles / "escapeplot.exe"));
  ASSERT_EQ(e2e::runToExit(wine({installer.string(), "/S", "/D=C:\\Fractal", "Programs"}), 120), 0);
  EXPECT_FALSE(fs::exists(programFiles)) << "the first copy is still there";
  EXPECT_EQ(entries(folder), (std::set<std::string>{"README.txt", "SDL-COPYING.txt", "SDL.dll", "Uninstall.exe",
                                                     "escapeplot.exe", "ngonchaos.exe", "ruletri.exe",
                                                     "tetrachaos.exe"}));
  EXPECT_EQ(entries(menu),
            (std::set<std::string>{"escapeplot.lnk", "ngonchaos.lnk", "ruletri.lnk", "tetrachaos.lnk"}));
  const std::string entry = uninstallEntry();
  for (const char* value : {"DisplayName    REG_SZ    Fractals\r", "DisplayVersion    REG_SZ    " PACKAGE_VERSION "\r",
                            "UninstallString    REG_SZ    \"C:\\Fractal Programs\\Uninstall.exe\"\r",
                            "QuietUninstallString    REG_SZ    \"C:\\Fractal Programs\\Uninstall.exe\" /S\r"})
    EXPECT_NE(entry.find(value), std::string::npos) << value << " is not in\n" << entry;

  e2e::Launch how = wine({"C:\\Fractal Programs\\escapeplot.exe"});
  how.env.push_back("SDL_VIDEODRIVER=windib");
  how.width = 640;
  how.height = 480;
  ASSERT_TRUE(e2e::launch(app, how)) << "the installed escapeplot.exe showed no window";
  e2e::pressKeys(app, {"Right"});
  const std::vector<uint32_t> limitTwo = oracleWindowImage(2);
  EXPECT_TRUE(e2e::waitUntil([&] { return e2e::capture(app) == limitTwo; }, 30)) << "not the limit-2 image";
  e2e::closeWindow(app);
  EXPECT_EQ(e2e::waitExit(app, 30), 0);

  // The uninstaller copies itself out of the folder, starts the copy and
  // ends; the copy does the work.
  ASSERT_EQ(e2e::runToExit(wine({"C:\\Fractal Programs\\Uninstall.exe", "/S"}), 60), 0);
  EXPECT_TRUE(e2e::waitUntil([&] { return !fs::exists(folder) && !fs::exists(menu) && uninstallEntry().empty(); }, 60))
      << "left behind: " << (fs::exists(folder) ? folder.string() + " " : "")
      << (fs::exists(menu) ? menu.string() + " " : "") << uninstallEntry();
}

}  // namespace
