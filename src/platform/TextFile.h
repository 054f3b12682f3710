#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace veskaro {

// The files below are written to a temporary file NAME.<16 hex digits>.tmp beside the file they replace
// and renamed over it, so that a failure or an interruption leaves either the earlier file or the new one,
// whole. A path that is a symbolic link is written through, unless the write is told to replace links:
// the file the link leads to is replaced in its own folder and the link stays. The replacing file keeps
// the permission bits of the file it replaces (and its owner and group where the system lets the writer
// keep them), and a file the user may not write is refused with "File access denied: <path>" rather than
// replaced.

/// The bytes a temporary file's name adds to the name of the file it replaces: "." + 16 hex digits + ".tmp".
/// A file whose name is within this of the file system's limit cannot be written atomically.
inline constexpr std::size_t kTemporaryNameGrowth = 21;

/// Whether an atomic write waits until the new file is on the disk before it renames it. A file that
/// replaces one of the user's waits, so that a power failure cannot leave it empty; a work file that the
/// next run makes anew need not, and spares the wait.
enum class Durability { OnDisk, WorkFile };

/// Returns the platform's words for an input/output error number ("File access denied", "Disk full", ...).
std::string ioErrorText(int errorNumber);

/// Writes lines, each followed by CR LF, to path atomically (see above). Throws VeskaroError on failure.
void writeTextFileAtomically(const std::string& path, const std::vector<std::string>& lines);

/// Writes bytes to path atomically (see above). Throws VeskaroError on failure.
void writeFileAtomically(const std::string& path, const std::string& bytes, Durability durability = Durability::OnDisk);

/// Copies the file from to path atomically (see above). Throws VeskaroError naming from when it cannot be
/// read and path when it cannot be written.
void copyFileAtomically(const std::string& from, const std::string& path, Durability durability = Durability::OnDisk);

/// What a write does with a symbolic link at the path it replaces: write through it to the file it leads
/// to, as described above, or replace the link itself with the new file and leave what it led to untouched.
enum class LinkHandling { Follow, Replace };

/// Copies the file from into a new temporary file beside path (beside the file a link at path leads to,
/// when links are followed) and returns the temporary file's path for replaceWithTemporaryFile. Throws
/// VeskaroError as copyFileAtomically does, and then leaves no temporary file behind.
std::string copyToTemporaryFile(const std::string& from, const std::string& path,
                                Durability durability = Durability::OnDisk, LinkHandling links = LinkHandling::Follow);

/// Renames a temporary file made by copyToTemporaryFile for path over the file it replaces. Throws
/// VeskaroError naming path when the rename fails, and then removes the temporary file. The renamed entry
/// is on the disk only once its folder is flushed (flushFolder).
void replaceWithTemporaryFile(const std::string& temporary, const std::string& path);

/// Renames a file over another name, replacing a file there. Returns false, leaving both as they were, when
/// the system refuses (another volume, a folder in the way, a file in use on Windows).
bool moveFileOver(const std::string& from, const std::string& to);

/// Flushes a folder's entries to the disk, so that the renames made in it survive a power failure.
/// Journaling file systems keep renames in the order they were made, so one flush after several renames
/// keeps that order too. A folder that cannot be flushed (some file systems refuse) is left as it is.
void flushFolder(const std::string& folder);

/// Tells whether a file name has the form of the temporary files above: NAME.<16 hex digits>.tmp.
bool isTemporaryFileName(const std::string& name);

/// Deletes the temporary files that an interrupted write left in folder: the regular files whose names
/// isTemporaryFileName accepts. Nothing else is touched, and failures are ignored.
void removeLeftoverTemporaryFiles(const std::string& folder);

/// Deletes the temporary files that interrupted writes of path left beside the file it names (beside the
/// file a link at path leads to): the regular files named like it plus a temporary file's suffix. Nothing
/// else is touched, and failures are ignored.
void removeLeftoverTemporaryFilesOf(const std::string& path);

/// Returns the bytes of a file. Throws VeskaroError when it cannot be read.
std::string readFileBytes(const std::string& path);

/// Hands the bytes of a file to take, front to back, in pieces of up to a mebibyte. Throws VeskaroError naming
/// the file when it cannot be read.
void forEachPieceOfFile(const std::string& path, const std::function<void(std::string_view)>& take);

/// Hands out the lines of a text one at a time, so that a text of many short lines takes no more memory
/// than its bytes: LF or CR LF ends a line, a CR elsewhere is dropped, and a last line without a line end
/// still counts.
class TextLineReader {
public:
    /// Starts at the first line of bytes.
    explicit TextLineReader(std::string bytes) : m_bytes(std::move(bytes)) {}

    /// Puts the next line into line and returns true, or returns false when no line is left.
    bool next(std::string& line);
    /// Goes back to the first line.
    void rewind() { m_position = 0; }

private:
    std::string m_bytes;
    std::size_t m_position = 0;
};

/// Reads a text file into lines, ended as TextLineReader reads them. Throws VeskaroError when the file
/// cannot be read.
std::vector<std::string> readTextLines(const std::string& path);

} // namespace veskaro
