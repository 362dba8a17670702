// The escape-time image: every render path against the literal oracle, and the
// figures the image must show whatever path draws it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "escapeplot.h"
#include "escapeplot_oracle.h"
#include "pixel_surface.h"
#include "sdl_screen.h"

namespace {

constexpr int W = 640;
constexpr int H = 480;
constexpr Uint32 untouched = 0x00123456;  // no colour the image ever uses

Uint32 pixelAt(int x, int y) { return screenWord(x, y); }
Uint32 blackValue() { return SDL_MapRGB(screen->format, 0, 0, 0); }
Uint32 whiteValue() { return SDL_MapRGB(screen->format, 255, 255, 255); }

void fillCanvas(Uint32 value) { fillScreenWords(value); }

// The image drawn by the given path, filled with `untouched` beforehand so a
// pixel the path forgets shows up.
void drawOnPath(int path, int limit) {
  renderPath = path;
  iterationLimit = limit;
  fillCanvas(untouched);
  drawEscapeImage();
}

long countBlack() { return countPixels(screenWords(), blackValue()); }

// The oracle's pixels (true = escaped, white) per limit, kept for the process.
const std::vector<bool>& oracleImage(int limit) {
  static std::map<int, std::vector<bool>> images;
  std::vector<bool>& image = images[limit];
  if (image.empty()) {
    image.resize(W * H);
    for (int x = 0; x < W; ++x)
      for (int y = 0; y < H; ++y) image[x * H + y] = oracleEscapes(x, y, limit);
  }
  return image;
}

// Empty when the canvas shows the oracle's image, else the first difference.
std::string differenceFromOracle(int limit) {
  const std::vector<bool>& expected = oracleImage(limit);
  const Uint32 white = whiteValue();
  const Uint32 black = blackValue();
  for (int x = 0; x < W; ++x)
    for (int y = 0; y < H; ++y) {
      const Uint32 want = expected[x * H + y] ? white : black;
      if (pixelAt(x, y) != want)
        return "limit " + std::to_string(limit) + ": pixel (" + std::to_string(x) + ", " + std::to_string(y) +
               ") is " + std::to_string(pixelAt(x, y)) + ", oracle " + std::to_string(want);
    }
  return "";
}

std::string pathName(int path) {
  switch (path) {
    case renderScalar: return "Scalar";
    case renderSse2: return "Sse2";
    case renderAvx2: return "Avx2";
    case renderAvx512: return "Avx512";
    case renderSimd128: return "Simd128";
    case renderNeon: return "Neon";
    default: return "Unknown";
  }
}

class EscapeImage : public ::testing::Test {
 protected:
  static void TearDownTestSuite() { closeScreen(); }
  static void SetUpTestSuite() {
    ASSERT_TRUE(openScreen(W, H));
    chooseRenderPath();
  }
  void SetUp() override {
    renderPath = renderChosen;
    iterationLimit = 1;
  }
};

class EscapeImagePath : public EscapeImage, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    EscapeImage::SetUp();
    if (!renderPathAvailable(GetParam())) GTEST_SKIP() << "this processor lacks the " << pathName(GetParam()) << " path";
  }
};

TEST_P(EscapeImagePath, EveryPixelMatchesTheOracleAtEachLimitUpTo64) {
  for (int limit = 1; limit <= 64; ++limit) {
    drawOnPath(GetParam(), limit);
    ASSERT_EQ(differenceFromOracle(limit), "");
  }
}

TEST_P(EscapeImagePath, EveryPixelMatchesTheOracleAtLargeLimits) {
  for (int limit : {200, 1000}) {
    drawOnPath(GetParam(), limit);
    ASSERT_EQ(differenceFromOracle(limit), "");
  }
}

TEST_P(EscapeImagePath, BlackCountsAndLeftmostBlackColumn) {
  drawOnPath(GetParam(), 2);
  EXPECT_EQ(countBlack(), 234495);
  int leftmost = -1;
  for (int x = 0; x < W && leftmost < 0; ++x)
    for (int y = 0; y < H; ++y)
      if (pixelAt(x, y) == blackValue()) leftmost = x;
  EXPECT_EQ(leftmost, 80);
  drawOnPath(GetParam(), 3);
  EXPECT_EQ(countBlack(), 165865);
}

TEST_P(EscapeImagePath, NoLimitBelowOneIsAllBlack) {
  for (int limit : {0, -1, -1000}) {
    drawOnPath(GetParam(), limit);
    EXPECT_EQ(countBlack(), W * H) << "limit " << limit;
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, EscapeImagePath,
                         ::testing::Values(renderScalar, renderSse2, renderAvx2, renderAvx512, renderSimd128, renderNeon),
                         [](const ::testing::TestParamInfo<int>& param) { return pathName(param.param); });

TEST_F(EscapeImage, TheOracleGivesTheDesignedCounts) {
  long black2 = 0;
  long black3 = 0;
  for (int x = 0; x < W; ++x)
    for (int y = 0; y < H; ++y) {
      black2 += !oracleImage(2)[x * H + y];
      black3 += !oracleImage(3)[x * H + y];
    }
  EXPECT_EQ(black2, 234495);
  EXPECT_EQ(black3, 165865);
}

TEST_F(EscapeImage, LimitOneIsAllBlack) {
  drawOnPath(renderPath, 1);
  EXPECT_EQ(countBlack(), W * H);
}

TEST_F(EscapeImage, CornerPixelIsBlackOnlyAtLimitOne) {
  for (int limit : {1, 2, 3, 10, 100}) {
    drawOnPath(renderPath, limit);
    EXPECT_EQ(pixelAt(0, 0), limit == 1 ? blackValue() : whiteValue()) << "limit " << limit;
  }
}

TEST_F(EscapeImage, OriginAndMinusTwoStayBlack) {
  // Column 480 and row 240 stand for 0 exactly; column 80 for -2 exactly.
  // The orbit of -2 (-2, 2, 2, ...) has modulus exactly 2, the escape radius:
  // a test of >= instead of > would call it escaped at the first step.
  for (int limit : {1, 2, 3, 10, 100, 1000}) {
    drawOnPath(renderPath, limit);
    EXPECT_EQ(pixelAt(480, 240), blackValue()) << "limit " << limit;
    EXPECT_EQ(pixelAt(80, 240), blackValue()) << "limit " << limit;
  }
}

TEST_F(EscapeImage, RaisingTheLimitNeverTurnsWhiteBlack) {
  std::vector<Uint32> before;
  for (int limit = 1; limit <= 64; ++limit) {
    drawOnPath(renderPath, limit);
    std::vector<Uint32> now;
    for (int x = 0; x < W; ++x)
      for (int y = 0; y < H; ++y) now.push_back(pixelAt(x, y));
    for (size_t i = 0; i < before.size(); ++i)
      ASSERT_FALSE(before[i] == whiteValue() && now[i] == blackValue())
          << "pixel (" << i / H << ", " << i % H << ") turned black at limit " << limit;
    before = now;
  }
}

TEST_F(EscapeImage, PointsOutsideRadiusTwoAreWhiteFromLimitTwo) {
  for (int limit : {2, 5, 40}) {
    drawOnPath(renderPath, limit);
    for (int x = 0; x < W; ++x)
      for (int y = 0; y < H; ++y) {
        const double cr = (x * 3.2) / 640.0 - 2.4;
        const double ci = 1.2 - (y * 2.4) / 480.0;
        if (oracleModulus(cr, ci) > 2.0) {
          ASSERT_EQ(pixelAt(x, y), whiteValue()) << x << ", " << y << " limit " << limit;
        }
      }
  }
}

// The image lands where putPixel would put it on any 32-bit surface: rows
// pitch bytes apart, colours mapped with the surface's own format, nothing
// written beyond the 640 x 480 canvas.
TEST_F(EscapeImage, WidePitchAndOtherChannelOrderMatchTheOracle) {
  SDL_Surface* const opened = screen;
  SDL_Surface* wide = SDL_CreateRGBSurface(SDL_SWSURFACE, W + 37, H + 3, 32, 0xFF, 0xFF00, 0xFF0000, 0);
  ASSERT_NE(wide, nullptr);
  screen = wide;
  iterationLimit = 5;
  std::vector<Uint32> expected;
  fillCanvas(untouched);
  oracleDrawEscapeImage();
  for (int y = 0; y < wide->h; ++y)
    for (int x = 0; x < wide->w; ++x) expected.push_back(pixelAt(x, y));
  for (int path = 0; path < renderPathCount; ++path) {
    if (!renderPathAvailable(path)) continue;
    drawOnPath(path, 5);
    for (int y = 0; y < wide->h; ++y)
      for (int x = 0; x < wide->w; ++x)
        ASSERT_EQ(pixelAt(x, y), expected[y * wide->w + x]) << pathName(path) << " at " << x << ", " << y;
  }
  screen = opened;
  SDL_FreeSurface(wide);
}

// On a screen smaller than the canvas every path drops the pixels off it, as
// putPixel does: the visible pixels match the oracle, and the memory around
// them (the rest of each row's pitch and the rows below) stays untouched.
TEST_F(EscapeImage, SmallerScreenGetsTheClippedImage) {
  SDL_Surface* const opened = screen;
  const int width = W - 41;
  const int height = H - 7;
  const int pitchWords = W + 16;
  const int rows = H + 16;
  std::vector<Uint32> memory(pitchWords * rows);
  SDL_Surface* small = SDL_CreateRGBSurfaceFrom(memory.data(), width, height, 32, pitchWords * 4, 0xFF0000, 0xFF00,
                                                0xFF, 0);
  ASSERT_NE(small, nullptr);
  screen = small;
  screenWidth = width;
  screenHeight = height;
  iterationLimit = 7;
  std::fill(memory.begin(), memory.end(), untouched);
  oracleDrawEscapeImage();
  const std::vector<Uint32> expected = memory;
  for (int path = 0; path < renderPathCount; ++path) {
    if (!renderPathAvailable(path)) continue;
    std::fill(memory.begin(), memory.end(), untouched);
    renderPath = path;
    drawEscapeImage();
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < pitchWords; ++x) {
        const Uint32 want = x < width && y < height ? expected[y * pitchWords + x] : untouched;
        ASSERT_EQ(memory[y * pitchWords + x], want) << pathName(path) << " at " << x << ", " << y;
      }
  }
  screen = opened;
  screenWidth = W;
  screenHeight = H;
  SDL_FreeSurface(small);
}

TEST_F(EscapeImage, ChosenPathsAreAvailableAndTakenByLimit) {
  chooseRenderPath();
  EXPECT_EQ(renderPath, renderChosen);
  for (int band : {0, 1}) EXPECT_TRUE(renderPathAvailable(chosenPath[band])) << "band " << band;
  EXPECT_EQ(pathForLimit(1), chosenPath[0]);
  EXPECT_EQ(pathForLimit(highLimit - 1), chosenPath[0]);
  EXPECT_EQ(pathForLimit(highLimit), chosenPath[1]);
  EXPECT_EQ(pathForLimit(1 << 30), chosenPath[1]);
  renderPath = renderSse2;
  EXPECT_EQ(pathForLimit(1), renderSse2);
  EXPECT_EQ(pathForLimit(highLimit), renderSse2);
}

}  // namespace
