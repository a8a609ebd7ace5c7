#include "InstanceGuard.h"

namespace kestrel
{

const platform::Char kInstanceMutexName[] = PLATFORM_TEXT("{7C3E91A4-2D6B-4f08-9A5E-C41B7D0E83F2}");

std::optional<CMutexOwner> ClaimSingleInstance()
{
    // A test for existence only, never a wait: a launcher that finds the mutex, owned or not,
    // has nothing to do.
    if (platform::InstanceMutexExists(kInstanceMutexName))
        return std::nullopt;

    const platform::MutexCreation created = platform::CreateInstanceMutex(kInstanceMutexName);
    // A handle to an object that already existed means another launcher got in between the
    // test and the creation; this one owns nothing and must not launch as well. A failed
    // creation (say, an object of another kind holds the name) stops nobody.
    if (created.hMutex != platform::kNoMutex && created.alreadyExisted)
        return std::nullopt;

    return std::optional<CMutexOwner>(std::in_place, created.hMutex);
}

} // namespace kestrel
