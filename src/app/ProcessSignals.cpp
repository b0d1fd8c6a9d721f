#include "app/ProcessSignals.h"

#include <csignal>

namespace rv {

void IgnoreBrokenPipeSignal() {
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

}  // namespace rv
