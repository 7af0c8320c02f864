#include "crypt/wipe.h"

#include <type_traits>

namespace {

template <typename Text>
void wipeAllocation(Text &secret)
{
    auto &data = secret.data_ptr();
    if (data.isMutable()) {
        // Characters once typed and deleted may lie beyond the end: the whole
        // allocation goes. Writing through volatile keeps the compiler from
        // dropping stores to memory that is freed next.
        using Unit = std::remove_pointer_t<decltype(data.data())>;
        volatile Unit *unit = data.data() - data.freeSpaceAtBegin();
        for (qsizetype i = 0, end = data.allocatedCapacity(); i < end; ++i)
            unit[i] = Unit{};
    }
    secret = Text();
}

} // namespace

void wipe(QString &secret)
{
    wipeAllocation(secret);
}

void wipe(QByteArray &secret)
{
    wipeAllocation(secret);
}
