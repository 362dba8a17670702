#include "ngonchaos_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

#include "ngonchaos.h"
#include "ngonchaos_oracle.h"
#include "pixel_surface.h"

int randAfter(unsigned seed, long calls) {
  std::srand(seed);
  for (long i = 0; i < calls; ++i) std::rand();
  return std::rand();
}

void oracleArrow(int newCount) {
  cornerCount = newCount;
  layoutPolygon();
  oracleFillWhite();
  oraclePlotChaosPoints();
}

void oracleOtherKey() { oraclePlotChaosPoints(); }

bool fileExists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

void NgonchaosTest::SetUpTestSuite() {
  if (screen == nullptr) {
    ASSERT_TRUE(openScreen(640, 480)) << SDL_GetError();
  }
}

void NgonchaosTest::SetUp() {
  ASSERT_NE(screen, nullptr);
  char here[PATH_MAX];
  ASSERT_NE(getcwd(here, sizeof here), nullptr);
  oldDirectory = here;
  char pattern[] = "/tmp/ngonchaos-test-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  workDirectory = pattern;
  ASSERT_EQ(chdir(workDirectory.c_str()), 0);
  startState();
}

void NgonchaosTest::TearDown() {
  resetSdlWraps();
  screen->flags &= ~Uint32(SDL_HWSURFACE);
  if (chdir(oldDirectory.c_str()) != 0) ADD_FAILURE() << "cannot go back to " << oldDirectory;
  std::error_code ignored;
  std::filesystem::remove_all(workDirectory, ignored);
}

void NgonchaosTest::startState(unsigned seed) {
  std::srand(seed);
  cornerCount = 2;
  currentX = 500;
  currentY = 500;
  pointsPerRun = 300000;
  layoutPolygon();
  resetSdlWraps();
}
