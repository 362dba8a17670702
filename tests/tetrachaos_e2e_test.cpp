// tetrachaos end to end: the real program in Xvfb, its window read back and
// compared pixel for pixel with frames of the literal algorithm.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "harness.h"
#include "pixel_surface.h"
#include "sdl_screen.h"
#include "tetrachaos.h"
#include "tetrachaos_oracle.h"
#include "tetrahedron_outline.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

uint64_t hashPixels(const std::vector<uint32_t>& pixels) {
  uint64_t h = 1469598103934665603ull;
  for (uint32_t p : pixels) h = (h ^ p) * 1099511628211ull;
  return h;
}

// The frames the program shows, in order, computed with the literal algorithm
// on an off-screen canvas from the same unseeded rand() sequence. The first
// `ahead` are made before the program starts (under qemu-user the oracle is
// no faster than the program). The program waits 1/frameRate s after each
// frame, so t seconds after its start it shows at most frame t * frameRate:
// before each look at the window the oracle is carried towards that bound, a
// second of frames at a time, however late a loaded machine let it look.
class OracleFrames {
 public:
  explicit OracleFrames(int ahead) {
    EXPECT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    screen = SDL_SetVideoMode(1000, 600, 32, SDL_SWSURFACE);
    screenWidth = 1000;
    screenHeight = 600;
    canvasWidth = 1000;
    canvasHeight = 600;
    oracleLayoutTetrahedron();
    srand(1);
    extend(size_t(ahead), ahead);
  }
  ~OracleFrames() { SDL_Quit(); }
  OracleFrames(const OracleFrames&) = delete;
  OracleFrames& operator=(const OracleFrames&) = delete;

  void coverSeconds(double seconds) { extend(size_t(seconds * frameRate) + 2, int(frameRate)); }
  size_t size() const { return angles_.size(); }

  // Index of the oracle frame equal to the pixels, or -1.
  int find(const std::vector<uint32_t>& pixels) const {
    auto it = index_.find(hashPixels(pixels));
    return it == index_.end() ? -1 : it->second;
  }
  double angle(int k) const { return angles_[size_t(k)]; }

 private:
  std::map<uint64_t, int> index_;
  std::vector<double> angles_;
  double nextAngle_ = 0.0;

  void extend(size_t count, int most) {
    for (int made = 0; angles_.size() < count && made < most; ++made) {
      turnAngle = nextAngle_;
      oracleDrawFrameContents(pointsPerFrame);
      index_[hashPixels(screenPixels())] = int(angles_.size());
      angles_.push_back(nextAngle_);
      nextAngle_ = oracleNextTurnAngle(nextAngle_, 10.0);
    }
  }
};

class TetrachaosWindow : public ::testing::Test {
 protected:
  e2e::App app;
  std::chrono::steady_clock::time_point started;
  void start() {
    e2e::Launch how;
    how.argv = {e2e::programPath("tetrachaos")};
    how.width = 1000;
    how.height = 600;
    started = std::chrono::steady_clock::now();
    ASSERT_TRUE(e2e::launch(app, how)) << "no 1000 x 600 window appeared";
  }
  // Waits until the window shows an oracle frame later than `after`.
  int nextFrame(OracleFrames& frames, int after, std::vector<uint32_t>* shown = nullptr) {
    int found = -1;
    e2e::waitUntil(
        [&] {
          std::vector<uint32_t> pixels = e2e::capture(app);
          found = frames.find(pixels);
          if (found < 0) {
            frames.coverSeconds(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
            found = frames.find(pixels);
          }
          if (found >= 0) seen.insert(found);
          lastSize = pixels.size();
          lastBlack = countPixels(pixels, kBlack);
          if (found > after && shown != nullptr) *shown = std::move(pixels);
          return found > after;
        },
        20);
    return found;
  }
  // What the window showed while a frame was waited for, for the failure message.
  std::set<int> seen;
  size_t lastSize = 0;
  long lastBlack = 0;
  std::string looks() const {
    std::string s = "frames seen:";
    for (int k : seen) s += " " + std::to_string(k);
    return s + "; last look: " + std::to_string(lastSize) + " pixels, " + std::to_string(lastBlack) + " black";
  }
  void TearDown() override { e2e::kill(app); }
};

TEST_F(TetrachaosWindow, ShowsTheTurningFigureFrameByFrame) {
  OracleFrames frames(200);
  start();
  EXPECT_EQ(app.width, 1000);
  EXPECT_EQ(app.height, 600);

  std::vector<uint32_t> shown;
  const int first = nextFrame(frames, 0, &shown);
  ASSERT_GT(first, 0) << "the window never showed a frame of the literal algorithm; " << looks()
                          << "; oracle frames: " << frames.size();
  EXPECT_EQ(countPixels(shown, kWhite) + countPixels(shown, kBlack), long(shown.size()));
  const auto hull = projectedCorners(frames.angle(first));
  long outside = 0;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 1000; ++x)
      if (shown[size_t(y) * 1000 + x] == kBlack && !nearHull(hull, x, y)) ++outside;
  EXPECT_EQ(outside, 0) << "black points outside the projected tetrahedron";

  const int later = nextFrame(frames, first);
  EXPECT_GT(later, first) << "the figure does not move; " << looks();

  e2e::closeWindow(app);
  EXPECT_EQ(e2e::waitExit(app, 10), 0);
}

TEST_F(TetrachaosWindow, ArrowKeysChangeTheTurnAndKeepItRunning) {
  start();
  // (With Shift held the Shift press itself would end the program.)
  e2e::pressKeys(app, {"Left", "Left", "Right", "Left"});
  std::vector<uint32_t> before = e2e::capture(app);
  EXPECT_TRUE(e2e::waitUntil([&] { return e2e::capture(app) != before; }, 10)) << "animation stopped";
  EXPECT_TRUE(e2e::running(app)) << "an arrow key ended the program";
  e2e::closeWindow(app);
  EXPECT_EQ(e2e::waitExit(app, 10), 0);
}

class TetrachaosQuitKey : public TetrachaosWindow, public ::testing::WithParamInterface<const char*> {};

TEST_P(TetrachaosQuitKey, EndsTheProgramWithStatusZero) {
  start();
  // Two different frames shown: the program's loop runs and has handled the
  // focus its window was given. A key pressed while SDL still takes the
  // focus in can be dropped, as SDL then reads the keyboard's state; under
  // qemu-user that moment is long enough to hit.
  std::vector<uint32_t> first;
  ASSERT_TRUE(e2e::waitUntil([&] { return countPixels(first = e2e::capture(app), kBlack) > 0; }, 20));
  ASSERT_TRUE(e2e::waitUntil([&] { return e2e::capture(app) != first; }, 20));
  e2e::pressKeys(app, {GetParam()});
  EXPECT_EQ(e2e::waitExit(app, 10), 0);
}

INSTANTIATE_TEST_SUITE_P(Keys, TetrachaosQuitKey, ::testing::Values("Escape", "a", "shift", "space"));

TEST(TetrachaosStart, ExitsWithOneWhenSdlCannotStart) {
  e2e::Launch how;
  how.argv = {e2e::programPath("tetrachaos")};
  how.env = {"SDL_VIDEODRIVER=no-such-driver"};
  EXPECT_EQ(e2e::runToExit(how, 10), 1);
}

}  // namespace
