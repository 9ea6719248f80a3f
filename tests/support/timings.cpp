#include "support/timings.h"

LinkTimings FastTimings()
{
    LinkTimings t;
    t.readInterval = 20;
    t.readTotalConstant = 40;
    t.readTotalPerByte = 1;
    t.transactPause = 0;
    return t;
}

LinkTimings SteadyTimings()
{
    LinkTimings t = FastTimings();
    t.readInterval = 100;
    t.readTotalConstant = 300;
    return t;
}

LinkTimings PatientTimings()
{
    LinkTimings t = FastTimings();
    t.readInterval = 600'000;
    t.readTotalConstant = 600'000;
    return t;
}
