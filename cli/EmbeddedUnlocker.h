#pragma once
// The unlocker that this program carries, byte for byte the UnCofrex.exe of the
// Windows build it was built with: every package it locks is a copy of it.
#include <cstdint>
#include <span>

std::span<const uint8_t> EmbeddedUnlocker();
