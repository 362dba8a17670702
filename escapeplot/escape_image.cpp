// The escape-time image, written once over a vector of doubles and compiled
// for each instruction set: a lane follows the orbit of one pixel, doing the
// scalar step's operations in the scalar step's order (separate
// multiplications and additions, one square root, a strict >). Four vectors
// are stepped side by side so their square roots overlap. When a lane's pixel
// is decided it is written and the lane takes the next pixel of the image, so
// an image costs steps only for pixels that are still iterating. The lanes
// are settled every second step: a lane decided by the first of the two steps
// keeps that step's decision and its second step is thrown away.
#include <limits>

#include "escapeplot.h"
#include "pixel_surface.h"

int iterationLimit = 1;
int renderPath = renderScalar;

// Every helper of the kernel is inlined into the function that instantiates
// it, so it is compiled for that function's instruction set.
#define KERNEL inline __attribute__((always_inline))

namespace {

constexpr int imageWidth = 640;
constexpr int imageHeight = 480;
constexpr int vectors = 4;

// What every lane reads: the real part of each column, the imaginary part of
// each row, the escape radius of each column of the row being handed out,
// and where the next pixel goes.
struct Image {
  double real[imageWidth];
  double imaginary[imageHeight];
  double radius[imageWidth];
  int nextX, nextY;
  Uint32 white, black;
};

Image image;

// The orbits of one vector of lanes. An idle lane (y = -1) orbits c = 0,
// which never leaves radius 2 and never runs out of steps.
template <typename V>
struct Orbits {
  static constexpr int lanes = sizeof(V) / sizeof(double);
  V zr, zi, cr, ci, radius, left;
  int x[lanes], y[lanes];
};

template <typename V>
KERNEL V squareRoot(V v) {
  for (unsigned i = 0; i < sizeof(V) / sizeof(double); ++i) v[i] = __builtin_sqrt(v[i]);
  return v;
}

// Whether any lane of the mask is set: wide masks folded in half first.
template <typename Mask>
KERNEL bool anyLane(Mask m) {
  constexpr int lanes = sizeof(Mask) / sizeof(m[0]);
  if constexpr (lanes == 8) {
    m |= __builtin_shufflevector(m, m, 4, 5, 6, 7, 0, 1, 2, 3);
    m |= __builtin_shufflevector(m, m, 2, 3, 0, 1, 6, 7, 4, 5);
  } else if constexpr (lanes == 4) {
    m |= __builtin_shufflevector(m, m, 2, 3, 0, 1);
  }
  return (m[0] | m[lanes > 1]) != 0;
}

// R = modulus(c) where that exceeds 2, else 2, for every column of row y.
template <typename V>
KERNEL void startRow(int y) {
  const V ci = V{} + image.imaginary[y];
  for (int x = 0; x < imageWidth; x += sizeof(V) / sizeof(double)) {
    V cr;
    __builtin_memcpy(&cr, image.real + x, sizeof cr);
    const V size = squareRoot(cr * cr + ci * ci);
    const V radius = size > 2.0 ? size : V{} + 2.0;
    __builtin_memcpy(image.radius + x, &radius, sizeof radius);
  }
}

// Lane i starts the next pixel, or goes idle when the image has none left;
// returns whether it went idle.
template <typename V>
KERNEL bool take(Orbits<V>& o, int i) {
  const int x = image.nextX;
  const int y = image.nextY;
  o.zr[i] = o.zi[i] = 0.0;
  if (y == imageHeight) {
    o.cr[i] = o.ci[i] = 0.0;
    o.radius[i] = 2.0;
    o.left[i] = std::numeric_limits<double>::infinity();
    o.x[i] = o.y[i] = -1;
    return true;
  }
  o.cr[i] = image.real[x];
  o.ci[i] = image.imaginary[y];
  o.radius[i] = image.radius[x];
  o.left[i] = double(iterationLimit);
  o.x[i] = x;
  o.y[i] = y;
  if (++image.nextX == imageWidth) {
    image.nextX = 0;
    if (++image.nextY < imageHeight) startRow<V>(image.nextY);
  }
  return false;
}

// One orbit step on every lane; returns the lanes whose orbit leaves the radius.
template <typename V>
KERNEL auto advance(Orbits<V>& o) {
  const V t = o.zr;
  o.zr = (o.zr * o.zr - o.zi * o.zi) + o.cr;
  o.zi = ((2.0 * o.zi) * t) + o.ci;
  o.left -= 1.0;
  return squareRoot(o.zr * o.zr + o.zi * o.zi) > o.radius;
}

// The lanes decided by two steps write their pixels (white if the orbit
// escaped) and take the next ones. A lane with -1 steps left used them up at
// the first step. Returns how many lanes went idle.
template <typename V, typename Mask>
KERNEL int settle(Orbits<V>& o, Mask out1, Mask out2, Uint32* pixels, int pitch) {
  int idled = 0;
  for (int i = 0; i < Orbits<V>::lanes; ++i) {
    if (!out1[i] && !out2[i] && o.left[i] > 0.0) continue;
    const bool escaped = out1[i] || (out2[i] && o.left[i] != -1.0);
    if (o.x[i] < screenWidth && o.y[i] < screenHeight)
      pixels[o.y[i] * pitch + o.x[i]] = escaped ? image.white : image.black;
    idled += take(o, i);
  }
  return idled;
}

template <typename V>
KERNEL void drawLanes() {
  for (int x = 0; x < imageWidth; ++x) image.real[x] = (double(x) * 3.2) / 640.0 - 2.4;
  for (int y = 0; y < imageHeight; ++y) image.imaginary[y] = 1.2 - (double(y) * 2.4) / 480.0;
  image.white = SDL_MapRGB(screen->format, 255, 255, 255);
  image.black = SDL_MapRGB(screen->format, 0, 0, 0);
  image.nextX = image.nextY = 0;
  startRow<V>(0);
  Uint32* const pixels = static_cast<Uint32*>(screen->pixels);
  const int pitch = screen->pitch / 4;
  Orbits<V> o[vectors];
  int busy = 0;
  for (Orbits<V>& orbits : o)
    for (int i = 0; i < Orbits<V>::lanes; ++i) busy += !take(orbits, i);
  using Mask = decltype(V{} > V{});
  while (busy > 0) {
    // Two steps on every vector; the lanes are looked at only when one of
    // them is decided: its orbit left the radius or its steps are used up.
    Mask out1[vectors], out2[vectors], decided{};
    for (int v = 0; v < vectors; ++v) {
      out1[v] = advance(o[v]);
      out2[v] = advance(o[v]);
      decided |= out1[v] | out2[v] | (o[v].left <= 0.0);
    }
    if (anyLane(decided))
      for (int v = 0; v < vectors; ++v) busy -= settle(o[v], out1[v], out2[v], pixels, pitch);
  }
}

typedef double Doubles1 __attribute__((vector_size(8)));
typedef double Doubles2 __attribute__((vector_size(16)));
typedef double Doubles4 __attribute__((vector_size(32)));
typedef double Doubles8 __attribute__((vector_size(64)));

void drawScalar() { drawLanes<Doubles1>(); }
#if defined(__x86_64__)
void drawSse2() { drawLanes<Doubles2>(); }
__attribute__((target("avx2"))) void drawAvx2() { drawLanes<Doubles4>(); }
__attribute__((target("avx512f"))) void drawAvx512() { drawLanes<Doubles8>(); }
#endif

}  // namespace

void drawEscapeImage() {
  if (iterationLimit < 1) {
    // With no step allowed no orbit can escape.
    for (int x = 0; x < 640; ++x)
      for (int y = 0; y < 480; ++y) putPixel(x, y, 0, 0, 0);
    return;
  }
  switch (renderPath) {
#if defined(__x86_64__)
    case renderSse2: return drawSse2();
    case renderAvx2: return drawAvx2();
    case renderAvx512: return drawAvx512();
#endif
    default: return drawScalar();
  }
}

bool renderPathAvailable(int path) {
  switch (path) {
    case renderScalar: return true;
#if defined(__x86_64__)
    case renderSse2: return true;
    case renderAvx2: return __builtin_cpu_supports("avx2");
    case renderAvx512: return __builtin_cpu_supports("avx512f");
#endif
    default: return false;
  }
}

void chooseRenderPath() {
  renderPath = renderScalar;
  for (int path = renderScalar; path < renderPathCount; ++path)
    if (renderPathAvailable(path)) renderPath = path;
}
