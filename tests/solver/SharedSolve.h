#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "Solver.h"

// One full solve per test program, shared by every test that needs the table.
const kelvara::Solver& SharedTable();

// A random position: each side 2..6 pieces (or the given counts) on distinct points.
void RandomPosition(std::mt19937& rng, std::uint16_t& black, std::uint16_t& white,
                    int blackCount = 0, int whiteCount = 0);
