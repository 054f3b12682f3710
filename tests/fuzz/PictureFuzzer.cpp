// A libFuzzer target for one picture reader, chosen at build time by VESKARO_FUZZ_FORMAT (Jpeg, Gif, Bmp).

#include "FuzzEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    veskaro::fuzz::decodeAndReencode(veskaro::PictureFormat::VESKARO_FUZZ_FORMAT, data, size);
    return 0;
}
