#pragma once
// The result of the companion's launch, in the terms of the shell's open request: above 32 is
// success, 0 to 32 name the failure.

#include <cstdint>

namespace kestrel
{

using LaunchResult = std::uintptr_t;

constexpr LaunchResult kLaunchSucceededAbove = 32;

// The failures the shell names.
constexpr LaunchResult kLaunchOutOfResources = 0;
constexpr LaunchResult kLaunchFileNotFound = 2;
constexpr LaunchResult kLaunchPathNotFound = 3;
constexpr LaunchResult kLaunchAccessDenied = 5;
constexpr LaunchResult kLaunchOutOfMemory = 8;
constexpr LaunchResult kLaunchInvalidExecutable = 11;
constexpr LaunchResult kLaunchSharingViolation = 26;
constexpr LaunchResult kLaunchAssociationIncomplete = 27;
constexpr LaunchResult kLaunchDdeTimeout = 28;
constexpr LaunchResult kLaunchDdeFailed = 29;
constexpr LaunchResult kLaunchDdeBusy = 30;
constexpr LaunchResult kLaunchNoAssociation = 31;
constexpr LaunchResult kLaunchDllNotFound = 32;

// The one-line description of a launch result. Every value the shell does not name reads as
// success, as every value above 32 does.
const char* DescribeLaunchResult(LaunchResult result) noexcept;

} // namespace kestrel
