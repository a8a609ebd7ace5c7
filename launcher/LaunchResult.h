#pragma once
// The result of the companion's launch, in the terms of the shell's open request: above 32 is
// success, 0 to 32 name the failure.

#include <cstdint>

namespace kestrel
{

using LaunchResult = std::uintptr_t;

constexpr LaunchResult kLaunchSucceededAbove = 32;
constexpr LaunchResult kLaunchFileNotFound = 2;
constexpr LaunchResult kLaunchOutOfMemory = 8;

// The one-line description of a launch result. Every value the shell does not name reads as
// success, as every value above 32 does.
const char* DescribeLaunchResult(LaunchResult result) noexcept;

} // namespace kestrel
