// ruletri's cell grid: one byte counter per cell, column-major, and the sweep
// that carries an elementary automaton (rule 126 from a single seed) down the
// used region, painting every hit black.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

constexpr int gridCapacity = 2000;  // columns, and cells in each column

// grid[j][i] is cell (column j, row i): client pixel x = gridLeft + j,
// y = gridTop + i.
extern std::array<std::array<uint8_t, gridCapacity>, gridCapacity> grid;
extern int gridWidth;
extern int gridHeight;
// Where cell (0, 0) is painted: 0, 0 unless the client area is wider (taller)
// than the grid, which then sits in the middle of it.
extern int gridLeft;
extern int gridTop;
extern RECT clientRect;
extern int clientWidth;  // of the last successful GetClientRect, not clipped
extern int clientHeight;
// The client size of the last reset: any other size resets again, beyond
// the grid's 2000 columns or rows too.
extern int gridClientWidth;
extern int gridClientHeight;
extern HWND mainWindow;
extern HDC windowDC;

// Reads the client size; when it differs from the last reset's, clears the
// old region, takes the new size (clipped to the grid, centred in the client
// area) and plants the seed.
void syncGridSize();
// One pass over rows 1 .. gridHeight - 1, each from the row above it.
void sweepGrid();
// Cell (gridWidth / 2, 0) = 1, when the used region has that cell.
void plantSeed();
