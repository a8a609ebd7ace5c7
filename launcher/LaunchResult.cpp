#include "LaunchResult.h"

namespace kestrel
{

const char* DescribeLaunchResult(LaunchResult result) noexcept
{
    switch (result)
    {
    case kLaunchOutOfResources: return "The operating system is out of memory or resources.";
    case kLaunchFileNotFound: return "The specified file was not found.";
    case kLaunchPathNotFound: return "The specified path was not found. ";
    case kLaunchAccessDenied: return "The operating system denied access to the specified file.";
    case kLaunchOutOfMemory: return "There was not enough memory to complete the operation.";
    case kLaunchInvalidExecutable: return "The .exe file is invalid (non-Microsoft Win32 .exe or error in .exe image).";
    case kLaunchSharingViolation: return "A sharing violation occurred.";
    case kLaunchAssociationIncomplete: return "The file name association is incomplete or invalid.";
    case kLaunchDdeTimeout: return "The DDE transaction could not be completed because the request timed out.";
    case kLaunchDdeFailed: return "The DDE transaction failed.";
    case kLaunchDdeBusy:
        return "The Dynamic Data Exchange (DDE) transaction could not be completed because other DDE "
               "transactions were being processed.";
    case kLaunchNoAssociation:
        return "There is no application associated with the given file name extension. This error will "
               "also be returned if you attempt to print a file that is not printable.";
    case kLaunchDllNotFound: return "The specified dynamic-link library (DLL) was not found.";
    default: return "successful, returned a value greater than 32";
    }
}

} // namespace kestrel
