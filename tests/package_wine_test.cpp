// The Windows zip that cpack made (the package fixture), unpacked into a
// scratch folder: it holds the four programs, SDL.dll, SDL's licence and the
// README, and each program starts under Wine from there, with only the
// SDL.dll beside it to load, and ends with status 0 on the close box.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

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

}  // namespace
