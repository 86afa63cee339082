#pragma once

// The lab for the lab tests: the lab network's helpers, and the skip of a case run outside it.
#include "LabHost.h"

#include <gtest/gtest.h>

#define TARVEX_REQUIRE_LAB(role)                                                                   \
    do {                                                                                           \
        if (!::tarvex::lab::InLab(role)) {                                                         \
            GTEST_SKIP() << "not inside the lab namespace '" << role                               \
                         << "' (run through tools/lab-run.sh)";                                    \
        }                                                                                          \
    } while (false)
