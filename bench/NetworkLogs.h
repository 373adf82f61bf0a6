#pragma once
// truno-loggen --network: the four traces of a three-switch network and their answer key
// (bench/NetworkLogs.cpp says what they hold).
#include <cstdint>
#include <string>

namespace truno::loggen {

// Writes JOURNEYS journeys' traces, the network file and the answer key into `dir` (made when
// missing); the exit status (2 when the folder cannot be made).
int writeNetwork(std::uint32_t journeys, std::uint64_t seed, const std::string& dir);

}  // namespace truno::loggen
