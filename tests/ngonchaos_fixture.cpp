#include "ngonchaos_fixture.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "ngonchaos.h"
#include "ngonchaos_oracle.h"
#include "pixel_surface.h"

std::vector<uint32_t> screenPixels() {
  std::vector<uint32_t> pixels;
  pixels.reserve(size_t(screen->w) * size_t(screen->h));
  for (int y = 0; y < screen->h; ++y) {
    const auto* row = static_cast<const Uint32*>(screen->pixels) + (y * screen->pitch) / 4;
    for (int x = 0; x < screen->w; ++x) {
      Uint8 r, g, b;
      SDL_GetRGB(row[x], screen->format, &r, &g, &b);
      pixels.push_back((uint32_t(r) << 16) | (uint32_t(g) << 8) | b);
    }
  }
  return pixels;
}

void paintScreen(uint32_t rgb) {
  const Uint32 value = SDL_MapRGB(screen->format, Uint8(rgb >> 16), Uint8(rgb >> 8), Uint8(rgb));
  for (int y = 0; y < screen->h; ++y) {
    auto* row = static_cast<Uint32*>(screen->pixels) + (y * screen->pitch) / 4;
    for (int x = 0; x < screen->w; ++x) row[x] = value;
  }
}

long countPixels(const std::vector<uint32_t>& pixels, uint32_t rgb) {
  long n = 0;
  for (uint32_t p : pixels) n += (p == rgb);
  return n;
}

SDL_Event keyDown(SDLKey sym, SDLMod mod) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.type = SDL_KEYDOWN;
  event.key.state = SDL_PRESSED;
  event.key.keysym.sym = sym;
  event.key.keysym.mod = mod;
  return event;
}

SDL_Event eventOfType(Uint8 type) {
  SDL_Event event{};
  event.type = type;
  return event;
}

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

std::vector<std::string> directoryEntries(const std::string& path) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
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
