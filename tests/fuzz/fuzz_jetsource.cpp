// libFuzzer harness of the Access (Jet 4) reader: any bytes as a file, every table the
// converter reads (and those of the sample files) read to the end.
//   bash scripts/dev.sh fuzz 600      (builds it with clang and runs it for 600 seconds)

#include "converter/jetformat.h"
#include "converter/source.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)zorbin::converter::readJetHeader(bytes.left(0x100));
    // Without the password check, so that every input reaches the reader.
    auto source = zorbin::converter::openJetBuffer(bytes, false);
    if (!source)
        return 0;
    const QStringList tables{QStringLiteral("Table_User"),     QStringLiteral("Table_Site"),
                             QStringLiteral("Table_Category"), QStringLiteral("Table_Contact"),
                             QStringLiteral("Table"),          QStringLiteral("Table1")};
    for (const QString &table : tables) {
        const auto fields = (*source)->fields(table);
        if (!fields)
            continue;
        auto cursor = (*source)->read(table, *fields);
        if (!cursor)
            continue;
        std::vector<QString> row;
        for (int n = 0; n < 100000 && (*cursor)->next(row); ++n) {
        }
    }
    return 0;
}
