// ruletri's cell grid: one byte counter per cell, column-major, and the sweep
// that carries an elementary automaton (rule 126 from a single seed) down the
// used region, painting every hit black.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

constexpr int gridCapacity = 2000;  // columns, and cells in each column

// grid[j][i] is cell (column j, row i): client pixel x = j, y = i.
extern std::array<std::array<uint8_t, gridCapacity>, gridCapacity> grid;
extern int gridWidth;
extern int gridHeight;
extern RECT clientRect;
extern int clientWidth;
extern int clientHeight;
extern HWND mainWindow;
extern HDC windowDC;

// Reads the client size; when it differs from the used region, clears the
// old region, takes the new size and plants the seed.
void syncGridSize();
// One pass over rows 1 .. gridHeight - 1, each from the row above it.
void sweepGrid();
// Cell (gridWidth / 2, 0) = 1, when the used region has that cell.
void plantSeed();
