#include "core/vcard_reader.h"
#include "core/vcard_writer.h"
#include "fuzz_contact_reader.h"

// Reads any bytes as a vCard file and the entries it gives back through the
// vCard writer.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return callvista::fuzzing::fuzzContactReader(
        data, size, [](const QByteArray& bytes) { return callvista::readVCard(bytes); },
        callvista::encodeVCard);
}
