#pragma once

// The lab for the lab tests: the lab network's helpers, and the skip of a case run outside it.
#include "LabHost.h"
#include "probe/IcmpProber.h"
#include "support/Addresses.h"

#include <gtest/gtest.h>

#define TARVEX_REQUIRE_LAB(role)                                                                   \
    do {                                                                                           \
        if (!::tarvex::lab::InLab(role)) {                                                         \
            GTEST_SKIP() << "not inside the lab namespace '" << role                               \
                         << "' (run through tools/lab-run.sh)";                                    \
        }                                                                                          \
    } while (false)

namespace tarvex::lab {

// One echo to the address, the way this PC probes.
inline ProbeOutcome Reach(const char* address) {
    IcmpProber prober;
    return prober.probe(testing::Address(address));
}

} // namespace tarvex::lab
