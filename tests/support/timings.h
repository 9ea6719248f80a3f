#pragma once
// How long tests let things take, in one place: the time limits of the tool's side of a link to
// a simulated module, and how long a test waits for a run it started.

#include "link/port_line.h"

// Short limits and no pause before an acknowledgement is read.
LinkTimings FastTimings();

// Short enough that a silent module costs a fraction of a second, long enough that a busy
// machine does not turn a healthy reply into a time-out.
LinkTimings SteadyTimings();

// Limits no test reaches: the run ends when the test stops it or the line goes.
LinkTimings PatientTimings();

// The longest a test waits for a transfer, a poll or a fleet run to end, in milliseconds.
constexpr int kRunWaitMs = 60000;
