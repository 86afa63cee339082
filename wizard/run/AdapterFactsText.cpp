#include "run/AdapterFactsText.h"

#include "net/AdapterReader.h"

namespace tarvex {

QString JoinAdapterFacts(const AdapterFacts& facts, const QString& separator) {
    if (facts.address.isEmpty() && facts.mask.isEmpty() && facts.gateway.isEmpty()) {
        return {};
    }
    return CutAtNul(facts.address) + separator + CutAtNul(facts.mask) + separator +
           CutAtNul(facts.gateway);
}

QString GetAdapterFacts(const QString& separator) {
    return JoinAdapterFacts(ChooseAdapter(ReadInterfaceAddresses(), ReadDefaultRoutes()),
                            separator);
}

QString CutAtNul(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

AdapterFacts SplitAdapterFacts(const QString& facts) {
    const qsizetype first = facts.indexOf(u'+');
    const qsizetype second = first < 0 ? -1 : facts.indexOf(u'+', first + 1);
    if (second < 0) {
        return {};
    }
    return {facts.left(first), facts.mid(first + 1, second - first - 1), facts.mid(second + 1)};
}

void LoadAdapterFacts(WizardGlobals& globals) {
    const AdapterFacts facts = SplitAdapterFacts(GetAdapterFacts(QStringLiteral("+")));
    globals.PcAddress = facts.address;
    globals.PcMask = facts.mask;
    globals.PcGateway = facts.gateway;
}

AdapterList LoadAdapterList() {
    return ListAdapters(ReadInterfaceAddresses(), ReadDefaultRoutes());
}

} // namespace tarvex
