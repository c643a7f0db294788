// The vCard import on arbitrary bytes: it must never crash, hang or grow without bound, and what
// it reads must survive being written as vCard 4.0 and read again.

#include "addresses/addressinterchange.h"
#include "addresses/vcard.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const AddressImportPlan plan = readAddressFile(bytes);
    if (!plan.error.isEmpty() || plan.entries.size() != plan.hints.size())
        return 0;

    for (const AddressValues& values : plan.entries) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        VCardWriter writer(buffer);
        writeAddressCard(writer, values, birthdayRowFrom(values[AddressField::Gebdat]));
        // Our own output must always read back as exactly one entry.
        const AddressImportPlan again = readAddressFile(buffer.data());
        if (!again.error.isEmpty() || again.entries.size() != 1 || !again.problems.isEmpty())
            std::abort();
    }
    return 0;
}
