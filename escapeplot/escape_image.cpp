// The escape-time image, written once over a vector of lanes and built for
// each instruction set (orbit_lanes.h): a lane follows the orbit of one pixel,
// doing the scalar step's operations in the scalar step's order (separate
// multiplications and additions, one square root, a strict >). A few vectors
// are stepped side by side so their square roots overlap.
//
// Pixels wait in a queue, row by row, with their c, escape radius and steps.
// Vectors step a few steps at a time (a burst) while every lane has that
// many steps left; the lanes that left their radius are remembered across
// the burst (an orbit outside its radius only grows, and a decided lane's
// later steps are thrown away). When a lane is decided its pixel is written and the lane takes the
// next pixel of the queue, all decided lanes of a vector at once.
#include <chrono>
#include <limits>

#include "escapeplot.h"
#include "orbit_lanes.h"
#include "pixel_surface.h"

int iterationLimit = 1;
int renderPath = renderChosen;
int chosenPath[2] = {renderScalar, renderScalar};

namespace {

constexpr int imageWidth = 640;
constexpr int imageHeight = 480;
constexpr double never = std::numeric_limits<double>::infinity();
// Room behind a row for the pixels left from the last one and for the idle
// pixels (c = 0, radius 2: they never escape) that lanes take at the end.
constexpr int queueRoom = 64;
constexpr int queueSize = imageWidth + queueRoom;

// The rows to draw (every rowStep-th from firstRow) and where they go: row
// firstRow + j * rowStep of the image lands in row j of the pixels, columns
// and rows at or past width and height are dropped.
struct Image {
  double real[imageWidth];
  double imaginary[imageHeight];
  int firstRow, rowStep, nextRow;
  double limit;
  Uint32* pixels;
  int pitch, width, height;
  Uint32 white, black;
};

// The pixels not yet taken, in order from head: c, R, the steps they may
// take (never for an idle one) and their place in the pixels (-1: none).
struct Queue {
  double cr[queueSize], ci[queueSize], radius[queueSize], steps[queueSize];
  int at[queueSize];
  int head, count;
};

Image image;
Queue queue;

// The orbits of one vector of lanes; a lane is decided when it has left its
// radius (out) or its deadline (the group's step count at which its steps
// are used up) has come.
template <typename V>
struct Orbits {
  static constexpr int lanes = sizeof(V) / sizeof(double);
  // Vectors stepped side by side so that their square roots overlap: 4 of
  // one lane, 3 of two (SSE2, NEON, WebAssembly SIMD), 2 of AVX2's four
  // (16 registers) and 4 of AVX-512's eight (32 registers). Each count is
  // the one measured fastest on its path.
  static constexpr int inFlight = lanes == 1 ? 4 : lanes == 2 ? 3 : lanes == 4 ? 2 : 4;
  // Steps taken between looks at the lanes while every lane has that many
  // left: a look and its refill cost more than the few steps an escaped lane
  // may waste. Measured best on each (two for one lane: in the browser's
  // plain build; one is a little quicker on a desktop processor).
  static constexpr int burst = lanes == 1 ? 2 : 4;
  using Mask = decltype(greater(V{}, V{}));
  V zr, zi, rr, ii, cr, ci, radius, deadline;
  Mask out;
};

// Moves what is left of the queue to its front and puts the next row (or,
// past the last row, idle pixels) behind it.
template <typename V>
void queueRow() {
  int n = 0;
  for (int k = queue.head; k < queue.count; ++k, ++n) {
    queue.cr[n] = queue.cr[k];
    queue.ci[n] = queue.ci[k];
    queue.radius[n] = queue.radius[k];
    queue.steps[n] = queue.steps[k];
    queue.at[n] = queue.at[k];
  }
  queue.head = 0;
  const int y = image.nextRow;
  if (y >= imageHeight) {
    for (int k = 0; k < queueRoom; ++k, ++n) {
      queue.cr[n] = queue.ci[n] = 0.0;
      queue.radius[n] = 2.0;
      queue.steps[n] = never;
      queue.at[n] = -1;
    }
    queue.count = n;
    return;
  }
  const int row = (y - image.firstRow) / image.rowStep;
  const double ci = image.imaginary[y];
  // R = |c| where that exceeds 2, else 2.
  for (int x = 0; x < imageWidth; x += sizeof(V) / sizeof(double)) {
    V cr;
    __builtin_memcpy(&cr, image.real + x, sizeof cr);
    const V size = squareRoot(cr * cr + (V{} + ci) * ci);
    const V radius = select(greater(size, V{} + 2.0), size, V{} + 2.0);
    __builtin_memcpy(queue.radius + n + x, &radius, sizeof radius);
  }
  // Loops of one store each, which the compiler turns into vector stores.
  const int shown = row < image.height ? image.width < imageWidth ? image.width : imageWidth : 0;
  for (int x = 0; x < imageWidth; ++x) queue.cr[n + x] = image.real[x];
  for (int x = 0; x < imageWidth; ++x) queue.ci[n + x] = ci;
  for (int x = 0; x < imageWidth; ++x) queue.steps[n + x] = image.limit;
  for (int x = 0; x < shown; ++x) queue.at[n + x] = row * image.pitch + x;
  for (int x = shown; x < imageWidth; ++x) queue.at[n + x] = -1;
  queue.count = n + imageWidth;
  image.nextRow += image.rowStep;
}

// The decided lanes write their pixels (white if their orbit escaped) and
// start the next pixels' orbits at z = 0, at step count t. The lanes' places
// in the pixels (at) are kept apart from their orbits, whose vectors can then
// all stay in registers.
template <typename V>
void settle(Orbits<V>& o, int (&at)[Orbits<V>::lanes], double t) {
  using Mask = typename Orbits<V>::Mask;
  const Mask decided = either(o.out, lessOrEqual(o.deadline, V{} + t));
  const unsigned bits = laneBits(decided);
  if (bits == 0) return;
  const unsigned escaped = laneBits(o.out);
  const int head = queue.head;
  int k = head;
  for (unsigned b = bits; b != 0; b &= b - 1) {
    const int i = __builtin_ctz(b);
    if (at[i] >= 0) image.pixels[at[i]] = escaped >> i & 1 ? image.white : image.black;
    at[i] = queue.at[k++];
  }
  const V zero{};
  o.zr = clearLanes(decided, o.zr);
  o.zi = clearLanes(decided, o.zi);
  o.rr = clearLanes(decided, o.rr);
  o.ii = clearLanes(decided, o.ii);
  o.cr = expandInto(decided, bits, queue.cr + head, o.cr);
  o.ci = expandInto(decided, bits, queue.ci + head, o.ci);
  o.radius = expandInto(decided, bits, queue.radius + head, o.radius);
  o.deadline = select(decided, expandInto(decided, bits, queue.steps + head, zero) + t, o.deadline);
  o.out = Mask{};
  queue.head = k;
  if (queue.count - k < Orbits<V>::lanes) queueRow<V>();
}

// steps steps of every vector's orbits; returns the lanes that have left
// their radius, now or before.
template <int steps, typename V, int vectors>
auto stepVectors(Orbits<V> (&o)[vectors]) {
  auto any = o[0].out;
#pragma GCC unroll 4
  for (int v = 0; v < vectors; ++v) {
    Orbits<V>& a = o[v];
#pragma GCC unroll 4
    for (int step = 0; step < steps; ++step)
      a.out = either(a.out, stepOrbits(a.zr, a.zi, a.rr, a.ii, a.cr, a.ci, a.radius));
    any = either(any, a.out);
  }
  return any;
}

template <typename V>
void drawLanes() {
  constexpr int vectors = Orbits<V>::inFlight;
  queue.head = queue.count = 0;
  image.nextRow = image.firstRow;
  queueRow<V>();
  Orbits<V> o[vectors]{};
  int at[vectors][Orbits<V>::lanes];
  for (auto& lanes : at)
    for (int& place : lanes) place = -1;
  // t counts the steps every vector has taken; nearest is the first deadline.
  constexpr int burst = Orbits<V>::burst;
  double t = 0, nearest = 0;
  for (;;) {
    if (t + burst <= nearest) {
      t += burst;
      if (none(stepVectors<burst>(o))) continue;
    } else if (t < nearest) {
      stepVectors<1>(o);
      t += 1;
    }
    V first = V{} + never;
#pragma GCC unroll 4
    for (int v = 0; v < vectors; ++v) {
      settle(o[v], at[v], t);
      first = lanewiseMin(first, o[v].deadline);
    }
    nearest = lowestLane(first);
    if (nearest == never) return;
  }
}

__attribute__((flatten)) void drawScalar() { drawLanes<double>(); }
#if defined(__x86_64__)
__attribute__((flatten)) void drawSse2() { drawLanes<__m128d>(); }
__attribute__((flatten, target("avx2"))) void drawAvx2() { drawLanes<__m256d>(); }
__attribute__((flatten, target("avx512f"))) void drawAvx512() { drawLanes<__m512d>(); }
#endif
#if defined(__wasm_simd128__)
__attribute__((flatten)) void drawSimd128() { drawLanes<Simd128Doubles>(); }
#endif
#if defined(__aarch64__)
__attribute__((flatten)) void drawNeon() { drawLanes<float64x2_t>(); }
#endif

void drawOnPath(int path) {
  switch (path) {
#if defined(__x86_64__)
    case renderSse2: return drawSse2();
    case renderAvx2: return drawAvx2();
    case renderAvx512: return drawAvx512();
#endif
#if defined(__wasm_simd128__)
    case renderSimd128: return drawSimd128();
#endif
#if defined(__aarch64__)
    case renderNeon: return drawNeon();
#endif
    default: return drawScalar();
  }
}

// Sets up the rows to draw, at the given limit, into the given pixels.
void aimImage(int limit, int firstRow, int rowStep, Uint32* pixels, int pitch, int width, int height, Uint32 white,
              Uint32 black) {
  for (int x = 0; x < imageWidth; ++x) image.real[x] = (double(x) * 3.2) / 640.0 - 2.4;
  for (int y = 0; y < imageHeight; ++y) image.imaginary[y] = 1.2 - (double(y) * 2.4) / 480.0;
  image.firstRow = firstRow;
  image.rowStep = rowStep;
  image.limit = double(limit);
  image.pixels = pixels;
  image.pitch = pitch;
  image.width = width;
  image.height = height;
  image.white = white;
  image.black = black;
}

}  // namespace

int pathForLimit(int limit) {
  if (renderPath != renderChosen) return renderPath;
  return chosenPath[limit >= highLimit];
}

void drawEscapeImage() {
  if (iterationLimit < 1) {
    // With no step allowed no orbit can escape.
    for (int x = 0; x < 640; ++x)
      for (int y = 0; y < 480; ++y) putPixel(x, y, 0, 0, 0);
    return;
  }
  aimImage(iterationLimit, 0, 1, static_cast<Uint32*>(screen->pixels), screen->pitch / 4, screenWidth, screenHeight,
           SDL_MapRGB(screen->format, 255, 255, 255), SDL_MapRGB(screen->format, 0, 0, 0));
  drawOnPath(pathForLimit(iterationLimit));
}

bool renderPathAvailable(int path) {
  switch (path) {
    case renderScalar: return true;
#if defined(__x86_64__)
    case renderSse2: return true;
    case renderAvx2: return __builtin_cpu_supports("avx2");
    case renderAvx512: return __builtin_cpu_supports("avx512f");
#endif
#if defined(__wasm_simd128__)
    case renderSimd128: return true;
#endif
#if defined(__aarch64__)
    case renderNeon: return true;
#endif
    default: return false;
  }
}

namespace {

// The sample the paths are timed on: every sampleStep-th row of the image
// into memory of our own.
constexpr int sampleStep = 48;
constexpr int sampleRows = imageHeight / sampleStep;
Uint32 sample[sampleRows][imageWidth];

// Browsers' clocks tick in steps of up to a tenth of a millisecond, so the
// sample is drawn again until this much time has passed.
constexpr double shortestTiming = 0.4e-3;

// Seconds per drawing of the sample on the path.
double secondsOnSample(int path, int limit) {
  aimImage(limit, sampleStep / 2, sampleStep, sample[0], imageWidth, imageWidth, sampleRows, 1, 0);
  const auto start = std::chrono::steady_clock::now();
  double seconds = 0;
  int draws = 0;
  do {
    drawOnPath(path);
    ++draws;
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  } while (seconds < shortestTiming);
  return seconds / draws;
}

}  // namespace

void chooseRenderPath() {
  // Each path the processor has draws the sample at a low and at a high
  // limit, three times in turn; the quickest of each path's times counts.
  const int sampleLimits[2] = {sampleLowLimit, sampleHighLimit};
  for (int band = 0; band < 2; ++band) {
    double best[renderPathCount];
    for (double& b : best) b = never;
    for (int round = 0; round < 3; ++round)
      for (int path = 0; path < renderPathCount; ++path)
        if (renderPathAvailable(path)) {
          const double s = secondsOnSample(path, sampleLimits[band]);
          if (s < best[path]) best[path] = s;
        }
    chosenPath[band] = renderScalar;
    for (int path = 0; path < renderPathCount; ++path)
      if (best[path] < best[chosenPath[band]]) chosenPath[band] = path;
  }
  renderPath = renderChosen;
}
