// tetrachaos_frames FRAMES OUT: the FNV-1a hash of the red bytes of each of
// tetrachaos's first FRAMES frames, one a line, computed with the literal
// drawing step, the web's rand() (web_rand.cpp) and the starting turn period
// on a screen of SDL's dummy driver.
#include <SDL.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>

#include "pixel_surface.h"
#include "tetrachaos.h"
#include "tetrachaos_oracle.h"

namespace {

// The frames as the page shows them: each drawn at the angle the turn has
// reached, at the starting turn period of 10 s.
int writeFrameHashes(int frames, const char* out) {
  if (!openScreen(1000, 600)) return 1;
  oracleLayoutTetrahedron();
  std::ofstream hashes(out);
  double angle = 0.0;
  for (int k = 0; k < frames; ++k) {
    turnAngle = angle;
    oracleDrawFrameContents(pointsPerFrame);
    uint32_t hash = 2166136261u;
    for (int y = 0; y < 600; ++y)
      for (int x = 0; x < 1000; ++x) {
        Uint8 r, g, b;
        SDL_GetRGB(static_cast<const Uint32*>(screen->pixels)[y * screen->pitch / 4 + x], screen->format, &r, &g, &b);
        hash = (hash ^ r) * 16777619u;
      }
    hashes << hash << "\n";
    angle = oracleNextTurnAngle(angle, 10.0);
  }
  closeScreen();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  return writeFrameHashes(std::atoi(argv[1]), argv[2]);
}
