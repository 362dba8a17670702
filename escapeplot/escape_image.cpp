// The escape-time image, written once over a vector of doubles and compiled
// for each instruction set: a lane follows the orbit of one pixel, doing the
// scalar step's operations in the scalar step's order (separate
// multiplications and additions, one square root, a strict >). A few vectors
// are stepped side by side so their square roots overlap. When a lane's pixel
// is decided it is written and the lane takes the next pixel of the image, so
// an image costs steps only for pixels that are still iterating. The lanes
// are settled every second step: a lane decided by the first of the two steps
// keeps that step's decision and its second step is thrown away.
#include <limits>
#include <type_traits>

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

// What every lane reads: the real part of each column, the imaginary part of
// each row, the escape radius of each column of the row being handed out,
// which pixel is next, and where the pixels go.
struct Image {
  double real[imageWidth];
  double imaginary[imageHeight];
  double radius[imageWidth];
  int nextX, nextY;
  Uint32* pixels;
  int pitch;
  Uint32 white, black;
};

Image image;

// The orbits of one vector of lanes. rr and ii are zr * zr and zi * zi from
// the last modulus, which the next step needs again. An idle lane orbits
// c = 0, which never leaves radius 2 and never runs out of steps.
template <typename V>
struct Orbits {
  static constexpr int lanes = sizeof(V) / sizeof(double);
  // Orbits stepped side by side: four one-lane orbits keep the square root
  // busy; of wider vectors two do, and their eight fields then fit in the
  // sixteen vector registers.
  static constexpr int inFlight = lanes == 1 ? 4 : 2;
  V zr, zi, rr, ii, cr, ci, radius, left;
  int x[lanes], y[lanes];
};

template <typename V>
KERNEL V squareRoot(V v) {
  if constexpr (sizeof(V) == sizeof(double)) {
    return __builtin_sqrt(v);
  } else {
    for (unsigned i = 0; i < sizeof(V) / sizeof(double); ++i) v[i] = __builtin_sqrt(v[i]);
    return v;
  }
}

// One bit per lane of the mask: each lane keeps its own bit, then the lanes
// are folded together by halves.
template <typename Mask>
KERNEL unsigned laneBits(Mask m) {
  if constexpr (std::is_scalar_v<Mask>) {
    return m != 0;
  } else {
    constexpr int lanes = sizeof(Mask) / sizeof(m[0]);
    Mask weights{};
    for (int i = 0; i < lanes; ++i) weights[i] = 1 << i;
    m &= weights;
    if constexpr (lanes == 8) {
      m |= __builtin_shufflevector(m, m, 4, 5, 6, 7, 0, 1, 2, 3);
      m |= __builtin_shufflevector(m, m, 2, 3, 0, 1, 6, 7, 4, 5);
    } else if constexpr (lanes == 4) {
      m |= __builtin_shufflevector(m, m, 2, 3, 0, 1);
    }
    return unsigned(m[0] | m[lanes > 1]);
  }
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

// Moves on past `count` pixels of the row; a new row gets its escape radii.
template <typename V>
KERNEL void handOut(int count) {
  if ((image.nextX += count) == imageWidth) {
    image.nextX = 0;
    if (++image.nextY < imageHeight) startRow<V>(image.nextY);
  }
}

// Lane i (the lane set in `lane`) takes c and R of the next pixel, or goes
// idle when the image has none left; returns whether it went idle. Vectors
// change by whole-vector selects, never one element at a time, so they can
// stay in registers.
template <typename V, typename Mask>
KERNEL bool take(Orbits<V>& o, int i, Mask lane) {
  const int x = image.nextX;
  const int y = image.nextY;
  if (y == imageHeight) {
    o.cr = lane ? V{} : o.cr;
    o.ci = lane ? V{} : o.ci;
    o.radius = lane ? V{} + 2.0 : o.radius;
    o.left = lane ? V{} + std::numeric_limits<double>::infinity() : o.left;
    o.x[i] = o.y[i] = -1;
    return true;
  }
  o.cr = lane ? V{} + image.real[x] : o.cr;
  o.ci = lane ? V{} + image.imaginary[y] : o.ci;
  o.radius = lane ? V{} + image.radius[x] : o.radius;
  o.x[i] = x;
  o.y[i] = y;
  handOut<V>(1);
  return false;
}

// Lane i's pixel, white if its orbit escaped; nothing for a lane that has no
// pixel yet (x = -1) or whose pixel is off the screen.
template <typename V>
KERNEL void writePixel(const Orbits<V>& o, int i, bool escaped) {
  if (unsigned(o.x[i]) < unsigned(screenWidth) && unsigned(o.y[i]) < unsigned(screenHeight))
    image.pixels[o.y[i] * image.pitch + o.x[i]] = escaped ? image.white : image.black;
}

// The lanes of `started` (bits `lanes`; bits `escaped` escaped) write their
// pixels and begin a new orbit at z = 0 with every step left: all at once when
// every lane starts and the row has that many pixels left (always so at
// limits 1 and 2), else lane by lane. Returns how many lanes went idle.
template <typename V, typename Mask>
KERNEL int start(Orbits<V>& o, Mask started, unsigned lanes, unsigned escaped, V limit) {
  constexpr int width = Orbits<V>::lanes;
  o.zr = started ? V{} : o.zr;
  o.zi = started ? V{} : o.zi;
  o.rr = started ? V{} : o.rr;
  o.ii = started ? V{} : o.ii;
  o.left = started ? limit : o.left;
  if (lanes == (1u << width) - 1 && image.nextY < imageHeight && image.nextX + width <= imageWidth) {
    const int x = image.nextX;
    for (int i = 0; i < width; ++i) {
      writePixel(o, i, escaped >> i & 1);
      o.x[i] = x + i;
      o.y[i] = image.nextY;
    }
    __builtin_memcpy(&o.cr, image.real + x, sizeof o.cr);
    __builtin_memcpy(&o.radius, image.radius + x, sizeof o.radius);
    o.ci = V{} + image.imaginary[image.nextY];
    handOut<V>(width);
    return 0;
  }
  if constexpr (width == 1) {
    writePixel(o, 0, escaped);
    return take(o, 0, true);
  } else {
    Mask index{};
    for (int i = 0; i < width; ++i) index[i] = i;
    int idled = 0;
    for (; lanes != 0; lanes &= lanes - 1) {
      const int i = __builtin_ctz(lanes);
      writePixel(o, i, escaped >> i & 1);
      idled += take(o, i, index == i);
    }
    return idled;
  }
}

// One orbit step on every lane; returns the lanes whose orbit leaves the
// radius. zi is stepped first, while zr still holds the old value it needs;
// zr * zr and zi * zi are the products the last modulus took.
template <typename V>
KERNEL auto advance(Orbits<V>& o) {
  o.zi = ((2.0 * o.zi) * o.zr) + o.ci;
  o.zr = (o.rr - o.ii) + o.cr;
  o.rr = o.zr * o.zr;
  o.ii = o.zi * o.zi;
  return squareRoot(o.rr + o.ii) > o.radius;
}

// The lanes decided by a pair of steps write their pixels (white if the orbit
// escaped) and start the next ones. A lane with -1 steps left used them up at
// the first step, whose decision stands. Returns how many lanes went idle.
template <typename V, typename Mask>
KERNEL int settle(Orbits<V>& o, Mask out1, Mask out2, Mask decided, V limit) {
  const unsigned lanes = laneBits(decided);
  if (lanes == 0) return 0;
  return start(o, decided, lanes, laneBits(out1 | (out2 & (o.left != -1.0))), limit);
}

template <typename V>
KERNEL void drawLanes() {
  for (int x = 0; x < imageWidth; ++x) image.real[x] = (double(x) * 3.2) / 640.0 - 2.4;
  for (int y = 0; y < imageHeight; ++y) image.imaginary[y] = 1.2 - (double(y) * 2.4) / 480.0;
  image.white = SDL_MapRGB(screen->format, 255, 255, 255);
  image.black = SDL_MapRGB(screen->format, 0, 0, 0);
  image.nextX = image.nextY = 0;
  startRow<V>(0);
  image.pixels = static_cast<Uint32*>(screen->pixels);
  image.pitch = screen->pitch / 4;
  using Mask = decltype(V{} > V{});
  const V limit = V{} + double(iterationLimit);
  constexpr int vectors = Orbits<V>::inFlight;
  Orbits<V> o[vectors]{};
  int busy = 0;
  for (Orbits<V>& orbits : o) {
    for (int& x : orbits.x) x = -1;
    busy += Orbits<V>::lanes - start(orbits, Mask{} == 0, (1u << Orbits<V>::lanes) - 1, 0, limit);
  }
  while (busy > 0) {
    // A pair of steps on every vector; the lanes are looked at only when one
    // of them is decided: its orbit left the radius or its steps are used up.
    Mask out1[vectors], out2[vectors], decided[vectors], any{};
#pragma GCC unroll 4
    for (int v = 0; v < vectors; ++v) {
      out1[v] = advance(o[v]);
      out2[v] = advance(o[v]);
      o[v].left -= 2.0;
      decided[v] = out1[v] | out2[v] | (o[v].left <= 0.0);
      any |= decided[v];
    }
    if (laneBits(any) != 0)
#pragma GCC unroll 4
      for (int v = 0; v < vectors; ++v) busy -= settle(o[v], out1[v], out2[v], decided[v], limit);
  }
}

typedef double Doubles2 __attribute__((vector_size(16)));
typedef double Doubles4 __attribute__((vector_size(32)));
typedef double Doubles8 __attribute__((vector_size(64)));

void drawScalar() { drawLanes<double>(); }
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
