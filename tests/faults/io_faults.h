#pragma once

// The controls of the I/O fault library (io_faults.cpp), which a test
// program finds with dlsym once the library is preloaded.

enum class CallvistaFault {
    Error, // the call fails with the chosen errno
    Interrupted, // a write fails with EINTR, having written nothing
    ShortWrite, // a write writes half of what it was given
    Kill, // the process is killed at the call, before it is made
};

extern "C" {
// From now on, counts the I/O calls of the calling thread and fails call
// number `callNumber` (from 1); for a short or interrupted write only
// writes are counted.
void callvista_faults_arm(int callNumber, int error, CallvistaFault kind);
// Stops counting; returns how many calls were counted and, in `failed`,
// the name of the call that was failed, or null when none was.
int callvista_faults_disarm(const char** failed);
}
