// libFuzzer harness of the readers of imported files: any bytes as a vCard file and as a
// CSV file, every card and record read to the end.
//   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DZORBIN_FUZZ=ON -DZORBIN_TESTS=OFF \
//       -DZORBIN_BENCH=OFF && cmake --build build-fuzz --target fuzz_importreaders
//   ./build-fuzz/fuzz_importreaders -max_total_time=600 build-fuzz/import-corpus tests/data/import

#include "core/csvreader.h"
#include "core/vcardreader.h"

#include <QBuffer>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        zorbin::core::VCardReader reader(&buffer);
        zorbin::core::VCard card;
        while (reader.next(card)) {
        }
    }
    {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        zorbin::core::CsvReader reader(&buffer);
        zorbin::core::CsvRecord record;
        while (reader.next(record)) {
        }
    }
    return 0;
}
