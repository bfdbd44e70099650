#include "controls/webenginesandbox.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

bool DisableWebSandboxForRoot()
{
    if (geteuid() != 0 || std::getenv("QTWEBENGINE_DISABLE_SANDBOX"))
        return false;
    setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    std::fputs("warning: running as root, the web view runs without its sandbox\n", stderr);
    return true;
}
