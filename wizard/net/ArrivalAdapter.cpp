#include "net/ArrivalAdapter.h"

#include <algorithm>
#include <net/if.h>

namespace tarvex {

const QualifyingAdapter* AdapterByIndex(const std::vector<QualifyingAdapter>& adapters,
                                        unsigned interfaceIndex) {
    const auto found = std::find_if(adapters.begin(), adapters.end(), [&](const auto& adapter) {
        return adapter.index == interfaceIndex;
    });
    return found == adapters.end() ? nullptr : &*found;
}

QByteArray ArrivalAdapterName(const std::vector<QualifyingAdapter>& adapters,
                              unsigned interfaceIndex) {
    if (const QualifyingAdapter* adapter = AdapterByIndex(adapters, interfaceIndex)) {
        return adapter->name;
    }
    char name[IF_NAMESIZE] = {};
    return interfaceIndex != 0 && if_indextoname(interfaceIndex, name) != nullptr ? QByteArray(name)
                                                                                  : QByteArray();
}

} // namespace tarvex
