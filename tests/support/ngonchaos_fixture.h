// Shared ground of the ngonchaos unit tests: a 640 x 480 screen on SDL's
// dummy driver, the program's state back at its start values, and a fresh,
// empty working directory for the snapshots.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sdl_screen.h"
#include "sdl_wraps.h"  // flips counted and locks made to fail at link time

// The rand() value that follows `calls` calls after srand(seed).
int randAfter(unsigned seed, long calls);

// The same steps on the literal drawing code, for comparison: a fresh
// layout with the oracle's clear and run, or one more oracle run.
void oracleArrow(int newCount);
void oracleOtherKey();

bool fileExists(const std::string& path);

class NgonchaosTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // State as main leaves it before the first event: N = 2, the point at
  // (500, 500), the polygon laid out and the canvas white; counters at zero.
  void startState(unsigned seed = 1);

  std::string oldDirectory;
  std::string workDirectory;
};
