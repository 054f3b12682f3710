#pragma once

// Encoder figures for published pictures, chosen by bench/PictureFormatsBench.cpp on the 24-photo corpus
// (16 JPEG, 4 GIF, 4 BMP sources) fitted to 640 x 480 and 1280 x 960, SSIM scored against an exact
// Lanczos-3 reduction of each source. Times are sums over the corpus on a busy two-core machine.

namespace veskaro {

/// JPEG quality of a slider picture at the slider's own size: the figure the product has always used.
inline constexpr int kJpegQuality = 90;

/// libwebp's effort for lossy pictures. Method 4 chooses each block's prediction by its rate and distortion, method 2
/// by its distortion alone: on the corpus with every picture option, method 2 took a publish 2.38 times the wall clock
/// of one without options (2.49 times the processor time) against 3.05 (3.37) with method 4, for pictures 2.3% (1x) and
/// 3% (2x) larger and slightly softer (mean SSIM 0.977 against 0.980 at 1x, 0.968 against 0.972 at 2x; the worst 2x
/// picture, elephants, 0.9501 against 0.954). Quality 82 at 2x would buy that margin back for 5% more bytes at 2x.
/// Method 3 took as long as 4; method 6 made the corpus 5% smaller at 1x and 2x but took 1.7-2.8 times as long as 4 and
/// scored lower SSIM at the same quality.
inline constexpr int kWebpMethod = 2;

/// zlib level of PNG pictures, the fallback of BMP sources for browsers without WebP. Level 9 saved 1% over level 6 for
/// 2.7 times the time, level 3 cost 6-8% more bytes for a third of level 6's time. With every row filtered by the one
/// above it (PngCodec), level 1 made the four BMPs at 2x 5858 KB in 126 ms, against 5511 KB in 292 ms at level 3 with
/// libpng's choice of filter for each row (at 1x 1585 against 1491 KB, 33 against 72 ms): 6% more bytes for the few
/// visitors who get the PNG, less than half the time at every publish.
inline constexpr int kPngCompressionLevel = 1;

/// Lossy WebP quality at the slider's own size. The corpus at 1x: q85 674 KB (12.7% of today's 5312 KB of JPEG, GIF and
/// BMP) but safelanding, fine line art, scores SSIM 0.947; q86 714 KB, worst 0.951; q87 749 KB (14.1%), worst 0.954,
/// mean 0.980; q88 793 KB (14.9%) leaves no room under 15%. q87 keeps every picture above 0.95 with 6% of the byte
/// allowance to spare. (Figures with method 4; with method 2, q87 gives 773 KB, 14.6%, worst 0.952.)
inline constexpr int kWebpQuality1x = 87;

/// Lossy WebP quality of the pictures at twice the slider's size. SSIM at 2x is bound by the most textured pictures
/// (elephants, path): worst 0.924 at q75, 0.940 at q78, 0.950 at q80, 0.954 at q81; the corpus then weighs 1459, 1659,
/// 1814 and 1905 KB (27.5% to 35.9% of today's 1x bytes). No single quality keeps both 0.95 and 30%; q81 keeps every
/// picture but one above 0.95, the few textured pictures paying for the bytes. (safelanding, an
/// illustration of fine lines, scores 0.906 at q81: no quality near these keeps its lines, so it does not bound the
/// choice. Scored against a reference a column wider than its content, as whole canvases were, even its lossless canvas
/// scored 0.887; cut out, 0.9995.) With method 2, q81 gives 1962 KB (36.9%), worst but safelanding 0.9501. Choosing
/// each picture's quality by its measured SSIM was tried and not kept: keeping a trial encode at q70 where it scored
/// 0.955 against its canvas came to 32.7% for 1.7 times the 2x encoding time, and reaching 30% took four qualities
/// tried in turn (42 encodes for 24 pictures).
inline constexpr int kWebpQuality2x = 81;

/// JPEG quality of the 2x pictures. Every 2x JPEG but safelanding's (0.934) held SSIM 0.95 from q88 (path 0.951; q87
/// 0.946, q86 0.942), 4848 KB for the corpus against 5410 KB at q90: 10% fewer bytes for what a denser picture hides.
inline constexpr int kJpegQuality2x = 88;

} // namespace veskaro
