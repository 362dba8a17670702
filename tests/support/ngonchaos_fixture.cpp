#include "ngonchaos_fixture.h"

#include <chrono>
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
  std::error_code ignored;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
}

void NgonchaosTest::SetUpTestSuite() {
  if (screen == nullptr) {
    ASSERT_TRUE(openScreen(640, 480)) << SDL_GetError();
  }
}

void NgonchaosTest::SetUp() {
  ASSERT_NE(screen, nullptr);
  namespace fs = std::filesystem;
  oldDirectory = fs::current_path().string();
  // A new directory of a name nobody else uses (as mkdtemp makes, on Windows too).
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0; workDirectory.empty() && attempt < 100; ++attempt) {
    fs::path candidate = fs::temp_directory_path() / ("ngonchaos-test-" + std::to_string(stamp + attempt));
    if (fs::create_directory(candidate)) workDirectory = candidate.string();
  }
  ASSERT_FALSE(workDirectory.empty());
  fs::current_path(workDirectory);
  startState();
}

void NgonchaosTest::TearDown() {
  resetSdlWraps();
  screen->flags &= ~Uint32(SDL_HWSURFACE);
  std::error_code ignored;
  std::filesystem::current_path(oldDirectory, ignored);
  if (ignored) ADD_FAILURE() << "cannot go back to " << oldDirectory;
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
