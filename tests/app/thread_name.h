#pragma once

#include <sys/types.h>

#include <QString>

namespace lumora::testing {

// The name the system lists for a thread of this process, one file per platform; empty once
// the thread has ended.
QString ThreadName(pid_t threadId);

}  // namespace lumora::testing
