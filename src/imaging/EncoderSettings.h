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
/// picture, elephants, 0.9501 against 0.954, at q81; the qualities are now raised where a picture needs it).
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

/// Lossy WebP quality the pictures at twice the slider's size start from; encodeFaithfulWebp raises it for a picture
/// that would fall below kLeastSimilarity. No one quality suits the corpus at 2x: the smooth photographs hold SSIM
/// 0.955 or more even at q60-q70, while the textured ones (elephants, path: 0.950 at q81) need q82-q84 and the
/// illustration of fine lines (safelanding: 0.906 at q81) q90. At q81 for all the corpus weighed 1962 KB (36.9% of
/// today's 5312 KB) with four pictures below 0.95; from q74 with the raises, 1944 KB (36.6%), every picture 0.9535 or
/// more, six of the 24 encoded twice. Even each picture at the least quality (of 40 to 93) that reaches 0.95 would
/// make 1778 KB (33.4%), most at q40: 30% of today's bytes cannot be had at that similarity. Below q74 the smooth
/// pictures saved little more (q70: 1913 KB) and began to show banding that SSIM does not see.
inline constexpr int kWebpQuality2x = 74;

/// How similar (lumaSimilarity, against the canvas encoded) a lossy WebP must stay, at either size, and a 2x
/// JPEG. Against the canvas the measure reads up to 0.0015 above ../shared/bench/quality.py's against an exact
/// reduction of the source (the canvas itself scores 0.998-0.9999): 0.953 keeps every published picture at 0.95
/// by that scoring.
inline constexpr double kLeastSimilarity = 0.953;

/// What a WebP's quality may be raised to, and in how many encodings at most any picture's is, the first included.
inline constexpr int kWebpHighestQuality = 95;
inline constexpr int kQualityTrials = 4;

/// The smallest raise, and how fast the log of a picture's dissimilarity (1 - similarity) is taken to fall per
/// quality step before a second trial has measured it: on the corpus at 2x it fell by 0.03-0.054 per step from q70
/// to q81 and by 0.08-0.11 from q81 to q90; 0.06 brought every picture raised above the floor in one more encoding
/// (safelanding from 0.876 at q74 to q91), where 0.04 overshot to q85-q95 for 6% more bytes.
inline constexpr int kWebpLeastQualityStep = 2;
inline constexpr double kWebpQualitySlope = 0.06;

/// How much of each pixel's quantisation error a GIF passes on to its neighbours, in sixteenths (Floyd-Steinberg):
/// three quarters at the slider's size, enough to hide the steps in skies and gradients while the grain that full
/// diffusion sprinkles over a downscaled photograph stays low. At 2x, where that grain is half the size, half:
/// the four GIFs of the corpus at 2x scored SSIM 0.9486 (eveningglow, a sky at dusk), 0.981, 0.983 and 0.991 at
/// three quarters, against 0.957, 0.982, 0.985 and 0.991 at half, 0.3-3% smaller; magnified three times, the sky
/// at half shows a little less grain and no steps, where a quarter (0.964) shows patches of one colour.
inline constexpr int kGifDiffusion = 12;
inline constexpr int kGifDiffusion2x = 8;

/// JPEG quality of the 2x pictures. Every 2x JPEG but safelanding's (0.934) held SSIM 0.95 from q88 (path 0.951; q87
/// 0.946, q86 0.942), 4848 KB for the corpus against 5410 KB at q90: 10% fewer bytes for what a denser picture hides.
inline constexpr int kJpegQuality2x = 88;

/// How far above the 1x JPEG's quality a 2x JPEG may be raised where it would fall below kLeastSimilarity
/// (encodeFaithfulJpeg), and the most it is raised to: safelanding's 2x JPEG scored 0.934 at q88, 0.943 at q90,
/// 0.953 at q92 and 0.966 at q94, so from the usual 90 the raise reaches what fine lines need, while a
/// quality chosen low for small files stays near the choice.
inline constexpr int kJpegMostRaise2x = 5;
inline constexpr int kJpegHighestQuality2x = 95;

/// How fast the log of a 2x JPEG's dissimilarity falls per quality step: 0.084-0.087 from q86 to q88 (path) and
/// from q88 to q92 (safelanding); a little less, so that one raise does not fall short. A raise may be a single
/// step: one moved safelanding's SSIM by about 0.005 there, enough to cross the floor.
inline constexpr double kJpegQualitySlope = 0.08;
inline constexpr int kJpegLeastQualityStep = 1;

} // namespace veskaro
