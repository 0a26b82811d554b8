#pragma once

// Qt's event queue hands an event from thread to thread through futexes ThreadSanitizer does
// not see, as the system's Qt is not built for it; so in a ThreadSanitizer build every task
// posted across threads would be reported as racing with its delivery. The poster marks the
// hand-off of what it made and the receiver its taking over, on the same token, and the
// edge the queue really gives becomes visible. Nothing in any other build.
#ifdef __SANITIZE_THREAD__
#include <sanitizer/tsan_interface.h>
#endif

namespace lumora {

// Called by the posting thread once it has written all it hands over at token.
inline void HandOff([[maybe_unused]] const void* token) {
#ifdef __SANITIZE_THREAD__
  __tsan_release(const_cast<void*>(token));
#endif
}

// Called by the receiving thread before it touches anything handed over at token.
inline void TakeOver([[maybe_unused]] const void* token) {
#ifdef __SANITIZE_THREAD__
  __tsan_acquire(const_cast<void*>(token));
#endif
}

}  // namespace lumora
