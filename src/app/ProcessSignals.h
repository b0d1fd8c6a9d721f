#pragma once
// Signals the console handles for the whole process.

namespace rv {

// A write into a pipe or socket whose reader has gone fails with an error the caller reports
// (EPIPE), instead of ending the console by SIGPIPE with the technician's unsaved log. Called once
// at program start; nothing on Windows, which has no such signal.
void IgnoreBrokenPipeSignal();

}  // namespace rv
