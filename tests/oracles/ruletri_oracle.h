// ruletri's reset and sweep written out literally, on the program's own grid
// and through the same SetPixel: each cell's three neighbours read afresh,
// the edges tested cell by cell.
#pragma once

#include <cstdint>
#include <vector>

// The reset for a client size of width x height (0 <= each <= 2000): clear
// the old used region, take the size, plant the seed.
void oracleResetGrid(int width, int height);
// One sweep over the used region.
void oracleSweepGrid();

// The client area, as 0xRRGGBB, after a reset to width x height and the given
// number of sweeps: white, with every pixel the sweeps paint black (a sweep
// paints exactly the cells whose count it changes; the used region is centred
// where the client area is larger than the grid).
std::vector<uint32_t> oracleClientImage(int width, int height, int sweeps);
