#pragma once
// The single-instance guard: a named mutex whose existence marks a launcher at work.

#include "Platform.h"

#include <optional>

namespace kestrel
{

// The instance mutex's name, in the session's local namespace.
extern const platform::Char kInstanceMutexName[];

// Owns the instance mutex for as long as it is in scope, and gives up ownership when the scope
// ends, also when an exception passes through. It does not close the handle: the object must
// outlive the scope, until the process ends.
class CMutexOwner
{
public:
    explicit CMutexOwner(platform::MutexHandle hMutex) noexcept : m_hMutex(hMutex) {}
    ~CMutexOwner()
    {
        if (m_hMutex != platform::kNoMutex)
            platform::ReleaseInstanceMutex(m_hMutex);
    }
    CMutexOwner(const CMutexOwner&) = delete;
    CMutexOwner& operator=(const CMutexOwner&) = delete;

private:
    platform::MutexHandle m_hMutex;
};

// Empty when another launcher is at work: its mutex exists, or it created the mutex between
// this launcher's test and its creation. Otherwise the owner of the newly created mutex, which
// holds no handle when the creation failed (the launcher goes on regardless).
std::optional<CMutexOwner> ClaimSingleInstance();

} // namespace kestrel
