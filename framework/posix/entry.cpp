#include "afxargs.h"
#include "afxwin.h"

// The process entry. The framework reads the process itself on other systems; here the arguments
// exist only as main's parameters, so they are recorded before the framework starts.
int main(int argc, char** argv)
{
    AfxSetProcessArguments(argc, argv);
    return AfxWinMain();
}
