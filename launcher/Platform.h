#pragma once
// The seam between the launcher's own logic and the operating system. Each platform provides
// PlatformTypes.h (found through the include path) and the functions below; the launcher's
// logic calls nothing else of the system.

#include "LaunchResult.h"
#include "PathBuffer.h"

#include <PlatformTypes.h>

namespace platform
{

// Single-instance guard: the named object whose existence marks a launcher at work.
struct MutexCreation
{
    MutexHandle hMutex;  // kNoMutex when the creation failed
    bool alreadyExisted; // the name already stood for such an object: it is not ours to own
};

// True when an instance object of this name exists that this process may open with full
// access. Never waits.
bool InstanceMutexExists(const Char* name);
// Creates the instance object, owned by the calling thread when it is new.
MutexCreation CreateInstanceMutex(const Char* name);
// Gives up ownership; the object itself lives on until the process ends.
void ReleaseInstanceMutex(MutexHandle hMutex);

// Start-up: registers the control classes named in the record (where the platform has them).
void InitCommonControlClasses(const CommonControlsRecord& record);

// Companion launch.
// The launcher's own arguments, as they are to be handed on.
Arguments CompanionArguments();
// The full path of the launcher's executable; false when it cannot be read.
bool ReadExecutablePath(kestrel::CPathBuffer<Char>& path);
// Starts the companion without waiting for it; returns the launch result.
kestrel::LaunchResult OpenCompanion(const Char* companionPath, const Arguments& arguments, const Char* folder);
// Hands the launch result's description to wherever this platform reports such things.
void ReportLaunchResult(kestrel::LaunchResult result, const char* description);

} // namespace platform
