// escapeplot's drawing step written out literally: one pixel at a time, column
// by column, every double operation in the order of the escape-time algorithm,
// the escape test a square root compared with the radius by a strict >.
#pragma once

#include <cstdint>
#include <vector>

double oracleModulus(double re, double im);
// Whether the orbit of pixel (x, y) leaves the escape radius within limit steps.
bool oracleEscapes(int x, int y, int limit);
// Orbit steps the pixel takes at this limit (the step that escapes included).
long long oracleSteps(int x, int y, int limit);
// The whole canvas through putPixel, for the current iterationLimit.
void oracleDrawEscapeImage();
// The picture at this limit as the window shows it: 640 x 480, row-major
// 0xRRGGBB, white where the orbit escapes.
std::vector<uint32_t> oracleWindowImage(int limit);
