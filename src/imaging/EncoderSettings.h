#pragma once

// Encoder figures for published pictures, chosen by bench/PictureFormatsBench.cpp on the 24-photo corpus
// (16 JPEG, 4 GIF, 4 BMP sources) fitted to 640 x 480 and 1280 x 960, SSIM scored against an exact
// Lanczos-3 reduction of each source. Times are sums over the corpus on a busy two-core machine.

namespace veskaro {

/// JPEG quality of a slider picture at the slider's own size: the figure the product has always used.
inline constexpr int kJpegQuality = 90;

/// libwebp's effort for lossy pictures. Method 6 made the corpus 5% smaller at 1x and at 2x (q80: 511
/// against 538 KB, 1720 against 1814 KB) but took 2.0-2.8 times as long and scored slightly lower SSIM
/// at the same quality; the time is better spent on quality.
inline constexpr int kWebpMethod = 4;

/// zlib level of PNG pictures, the fallback of BMP sources for browsers without WebP. Level 9 saved 1%
/// over level 6 for 2.7 times the time; level 3 cost 6-8% more bytes for a third of level 6's time at
/// 2x (1.2 against 4.0 s for the four BMPs). The few visitors who get the PNG are not worth the wait at
/// every publish.
inline constexpr int kPngCompressionLevel = 3;

} // namespace veskaro
