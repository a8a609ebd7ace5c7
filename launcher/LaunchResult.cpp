#include "LaunchResult.h"

namespace kestrel
{

const char* DescribeLaunchResult(LaunchResult result) noexcept
{
    switch (result)
    {
    case 0: return "The operating system is out of memory or resources.";
    case 2: return "The specified file was not found.";
    case 3: return "The specified path was not found. ";
    case 5: return "The operating system denied access to the specified file.";
    case 8: return "There was not enough memory to complete the operation.";
    case 11: return "The .exe file is invalid (non-Microsoft Win32 .exe or error in .exe image).";
    case 26: return "A sharing violation occurred.";
    case 27: return "The file name association is incomplete or invalid.";
    case 28: return "The DDE transaction could not be completed because the request timed out.";
    case 29: return "The DDE transaction failed.";
    case 30:
        return "The Dynamic Data Exchange (DDE) transaction could not be completed because other DDE "
               "transactions were being processed.";
    case 31:
        return "There is no application associated with the given file name extension. This error will "
               "also be returned if you attempt to print a file that is not printable.";
    case 32: return "The specified dynamic-link library (DLL) was not found.";
    default: return "successful, returned a value greater than 32";
    }
}

} // namespace kestrel
