#pragma once
// Replacing the contents of a settings file so that a failed write never destroys the
// previous file: the text goes to a temporary file of the same folder, created readable
// and writable by its owner only (the files hold the FTP password), flushed to the disk,
// then renamed over the file. A failure names the file the user knows, never the
// temporary one, and says why in French.
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

// A settings file, curve file or snapshot that cannot be read or written, or a start
// directory that cannot be entered.
class EInOutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Replaces the file with the text; raises EInOutError on any failure, the previous file
// left as it was and no temporary file left behind.
void ReplaceFileContents(const std::filesystem::path& fileName, const std::string& text);
// The temporary file that ReplaceFileContents writes before the rename.
std::filesystem::path TemporaryFileFor(const std::filesystem::path& fileName);

// The reason of a failed file operation, in French, from the system's error number.
std::string FileFailureReason(int error);
// The error `what "file" : reason.` (without the reason for error 0).
EInOutError FileError(const char* what, const std::filesystem::path& file, int error);

// A test seam: when set, it is asked before the bytes of a replacement are written, with
// the file being replaced; a non-zero error number makes the write fail with that error,
// as a full or read-only disk would.
std::function<int(const std::filesystem::path& fileName)>& FileWriteRefusal();
