#include "settings/file_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/text/cp1252.h"

namespace fs = std::filesystem;

namespace {

EInOutError SaveError(const fs::path& file, int error) {
    return FileError("Impossible d'enregistrer le fichier", file, error);
}

// Closes the descriptor once, keeping the first error number.
class TemporaryFile {
public:
    TemporaryFile(fs::path path, int descriptor) : path_(std::move(path)), descriptor_(descriptor) {}
    ~TemporaryFile() {
        if (descriptor_ >= 0) ::close(descriptor_);
        if (!kept_) {
            std::error_code ignored;
            fs::remove(path_, ignored);
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // 0, or the error number of the first failure.
    int Write(const std::string& text) {
        size_t done = 0;
        while (done < text.size()) {
            const ssize_t written = ::write(descriptor_, text.data() + done, text.size() - done);
            if (written < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            if (written == 0) return ENOSPC;
            done += size_t(written);
        }
        return 0;
    }
    // Flushes to the disk and closes: a full disk may tell only now.
    int Finish() {
        if (::fsync(descriptor_) != 0 && errno != EINVAL) return errno;
        const int descriptor = descriptor_;
        descriptor_ = -1;
        if (::close(descriptor) != 0 && errno != EINTR) return errno;
        return 0;
    }
    void Keep() { kept_ = true; }

private:
    fs::path path_;
    int descriptor_;
    bool kept_ = false;
};

}  // namespace

std::function<int(const fs::path&)>& FileWriteRefusal() {
    static std::function<int(const fs::path&)> refusal;
    return refusal;
}

EInOutError FileError(const char* what, const fs::path& file, int error) {
    std::string message = std::string(what) + " \"" + text::PathText(file) + "\"";
    if (error != 0) message += " : " + FileFailureReason(error);
    return EInOutError(message + ".");
}

std::string FileFailureReason(int error) {
    switch (error) {
        case EACCES:
        case EPERM: return "acc\xE8s refus\xE9";
        case EROFS: return "le disque est en lecture seule";
        case ENOSPC: return "le disque est plein";
        case EDQUOT: return "le quota du disque est d\xE9pass\xE9";
        case ENOENT: return "le dossier n'existe pas";
        case ENOTDIR: return "le chemin ne m\xE8ne pas \xE0 un dossier";
        case EISDIR: return "un dossier porte ce nom";
        case EEXIST:
        case ENOTEMPTY: return "le fichier temporaire ne peut pas \xEAtre cr\xE9\xE9 (son nom est pris)";
        case ENAMETOOLONG: return "le nom est trop long";
        case EIO: return "erreur d'entr\xE9" "e-sortie du disque";
        case EMFILE:
        case ENFILE: return "trop de fichiers ouverts";
        case EBUSY: return "le fichier est occup\xE9";
        default: return "erreur syst\xE8me " + std::to_string(error);
    }
}

fs::path TemporaryFileFor(const fs::path& fileName) {
    fs::path temporary = fileName;
    temporary += ".tmp";
    return temporary;
}

void ReplaceFileContents(const fs::path& fileName, const std::string& text) {
    const fs::path temporary = TemporaryFileFor(fileName);
    std::error_code ignored;
    fs::remove(temporary, ignored);
    // Owner-only from its creation on, whatever the process's mask.
    const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0) throw SaveError(fileName, errno);
    TemporaryFile file(temporary, descriptor);
    if (::fchmod(descriptor, S_IRUSR | S_IWUSR) != 0) throw SaveError(fileName, errno);
    int error = 0;
    if (const auto& refusal = FileWriteRefusal()) error = refusal(fileName);
    if (error == 0) error = file.Write(text);
    if (error == 0) error = file.Finish();
    if (error != 0) throw SaveError(fileName, error);
    if (::rename(temporary.c_str(), fileName.c_str()) != 0) throw SaveError(fileName, errno);
    file.Keep();
}
