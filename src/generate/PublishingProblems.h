#pragma once

#include "model/AppletTypes.h"
#include "platform/TextFile.h"

#include <cstddef>
#include <string>
#include <vector>

namespace veskaro {

class Places;
class TkvlAppletAgent;

/// The longest file name, in bytes, that publishing writes: ext4, XFS, Btrfs and APFS take 255 bytes, NTFS
/// 255 UTF-16 units, which 255 bytes of UTF-8 never exceed; and every file is first written under a
/// temporary name that much longer.
inline constexpr std::size_t kLongestFileName = 255 - kTemporaryNameGrowth;

/// The longest slider name, in bytes once its blanks are dropped: it names the style sheet, NAME.css.
inline constexpr std::size_t kLongestSliderId = kLongestFileName - 4;

/// What keeps a slider name from naming the slider's style sheet file.
enum class SliderNameProblem { None, UnsafeCharacter, ReservedName, TooLong };

/// Tells whether a slider name, without its blanks, is short enough to name the style sheet file.
bool sliderNameFits(const std::string& sliderName);

/// Tells what, if anything, keeps a slider name from naming the slider's style sheet file on every system:
/// a character Windows forbids in file names (folder separators and control characters among them), a
/// name Windows keeps for a device, or more than kLongestSliderId bytes without its blanks.
SliderNameProblem sliderNameProblem(const std::string& sliderName);

/// Returns the sentence that tells the user what is wrong with such a slider name; empty text for none.
std::string sliderNameProblemText(SliderNameProblem problem);

/// Returns how messages name the item at index: its number and, when it has one, its source picture's
/// file name, as in "Item 2 (beach.jpg)".
std::string itemSubject(const TkvlAppletAgent& project, int index);

/// Returns, one sentence each, what stops the slider's page and style sheet from being generated: a
/// slider name that cannot name the style sheet file, and script parameters outside their rules.
std::vector<std::string> generationProblems(const TAppletData& data);

/// Throws VeskaroError with the first generation problem.
void requireGeneratable(const TAppletData& data);

/// Returns, one sentence each, everything that stops publishing the project into folder (ending in the
/// delimiter) under fileName, all found before anything is written: the generation problems, values the
/// project file cannot hold as they will be written, a project name too long for its files or one that
/// cannot name them on Windows, missing slider scripts, and published files that would overwrite the
/// source picture of an item.
std::vector<std::string> publishingProblems(const TkvlAppletAgent& project, const Places& places,
                                            const std::string& folder, const std::string& fileName);

/// Throws VeskaroError with the first publishing problem, adding that nothing was saved.
void requirePublishable(const TkvlAppletAgent& project, const Places& places, const std::string& folder,
                        const std::string& fileName);

} // namespace veskaro
