// A libFuzzer target for one picture reader, chosen at build time by VESKARO_FUZZ_FORMAT (Jpeg, Gif, Bmp);
// with VESKARO_FUZZ_PREPARE it runs the whole preparation of a slider picture instead.

#include "FuzzEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
#ifdef VESKARO_FUZZ_PREPARE
    veskaro::fuzz::prepareForSlider(veskaro::PictureFormat::VESKARO_FUZZ_FORMAT, data, size);
#else
    veskaro::fuzz::decodeAndReencode(veskaro::PictureFormat::VESKARO_FUZZ_FORMAT, data, size);
#endif
    return 0;
}
