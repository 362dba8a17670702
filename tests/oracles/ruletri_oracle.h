// ruletri's reset and sweep written out literally, on the program's own grid
// and through the same SetPixel: each cell's three neighbours read afresh,
// the edges tested cell by cell.
#pragma once

// The reset for a client size of width x height (0 <= each <= 2000): clear
// the old used region, take the size, plant the seed.
void oracleResetGrid(int width, int height);
// One sweep over the used region.
void oracleSweepGrid();
