#pragma once
// The launch of the companion application, which lives in the launcher's own folder.

#include "LaunchResult.h"

#include <PlatformTypes.h>

namespace kestrel
{

extern const platform::Char kCompanionFileName[];

// Asks the system to start the companion (its full path in the launcher's folder) with the
// launcher's own arguments and that folder as working directory, without waiting for it. The
// result is reported through the platform and returned; nothing the launcher does depends on it.
LaunchResult LaunchCompanion();

} // namespace kestrel
