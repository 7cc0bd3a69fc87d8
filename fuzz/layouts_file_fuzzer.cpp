// Feeds arbitrary bytes to the layouts-file decoder. It must never crash, throw or read out of
// bounds, and whatever it accepts must come back unchanged from encoding and decoding again.

#include "store/layouts_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto decoded = qw::LayoutsFile::decode(bytes);
    if (!decoded) {
        if (decoded.message().empty()) std::abort(); // a failure must say what is wrong
        return 0;
    }
    const auto again = qw::LayoutsFile::decode(qw::LayoutsFile::encode(*decoded));
    if (!again || *again != *decoded) std::abort();
    return 0;
}
