#include "core/csv_reader.h"
#include "core/csv_writer.h"
#include "fuzz_contact_reader.h"

// Reads any bytes as a CSV file and the entries it gives back through the
// CSV writer.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return callvista::fuzzing::fuzzContactReader(
        data, size, [](const QByteArray& bytes) { return callvista::readCsv(bytes); },
        callvista::encodeCsv);
}
