#pragma once

#include "common/commandline.h"

// Exit statuses that the programs without windows share.
enum HeadlessExit {
    kExitDone = 0,
    kExitBadOptions = 2, // with the usage
    kExitPortUnusable = 3, // with the reason, as the port window gives it
    kExitNotWritten = 4, // with the file's name and the system's reason
};
