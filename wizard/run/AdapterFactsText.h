#pragma once

#include "net/AdapterChoice.h"
#include "run/WizardGlobals.h"

#include <QString>

namespace tarvex {

// The adapter facts as one text: address, mask and gateway joined by the separator, for
// example 192.168.0.5+255.255.255.0+192.168.0.1; empty when the PC has no adapter.
[[nodiscard]] QString GetAdapterFacts(const QString& separator);

// The same text for facts already read.
[[nodiscard]] QString JoinAdapterFacts(const AdapterFacts& facts, const QString& separator);

// The text up to, not including, its first NUL; the whole text when it holds none.
[[nodiscard]] QString CutAtNul(const QString& text);

// Splits a "+"-joined adapter-facts text; all three empty when it holds fewer than two "+".
[[nodiscard]] AdapterFacts SplitAdapterFacts(const QString& facts);

// Reads the PC's adapter afresh into PcAddress, PcMask and PcGateway.
void LoadAdapterFacts(WizardGlobals& globals);

// Reads every adapter a discovery can go out of afresh.
[[nodiscard]] AdapterList LoadAdapterList();

} // namespace tarvex
