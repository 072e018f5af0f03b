#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "safeoutput/Interrupt.h"
#include "safeoutput/TemporaryOutput.h"

namespace varnel::safeoutput {
namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// An open file by its descriptor: how an unnamed file is opened a second
// time and given a name, without the privilege linkat's AT_EMPTY_PATH needs.
std::string DescriptorPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// Only root may give a file to another user; others may still keep its
// group when they belong to it. Returns whether either was kept.
bool KeepOwner(const std::string& path, const struct stat& existing) {
    return ::chown(path.c_str(), existing.st_uid, existing.st_gid) == 0 ||
           ::chown(path.c_str(), static_cast<uid_t>(-1), existing.st_gid) == 0;
}

}  // namespace

bool TemporaryOutput::Create(const std::string& target, File& output, FileFailure& failure) {
    Discard();
#ifdef O_TMPFILE
    const int unnamed = ::open(FolderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (unnamed >= 0) {
        if (output.Open(DescriptorPath(unnamed), File::Mode::WriteExisting, failure)) {
            m_system.unnamed = unnamed;
            return true;
        }
        ::close(unnamed);  // no /proc: a named file instead
    }
    // Refused by the file system (or by an old kernel): a named file, whose
    // open also reports why the folder cannot take a file, if it cannot.
#endif
    return CreateNamed(target, output, failure);
}

bool TemporaryOutput::PutInPlace(const std::string& target, FileFailure& failure) {
    if (m_system.unnamed >= 0) {
        const std::string source = DescriptorPath(m_system.unnamed);
        // A new OUTPUT gets its name in one step; an existing one is
        // replaced by a rename, which needs a name to rename from.
        if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            Discard();
            return true;
        }
        if (errno != EEXIST) {
            failure = SystemFailure(errno, target);
            Discard();
            return false;
        }
        // Linux has no call that names a file over an existing one: it gets
        // a hidden name for the instant before the rename (Ctrl-C waits for
        // the commit). Only a kill or a crash in that instant leaves it.
        const std::string named = TemporaryNameBeside(target);
        if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, named.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            failure = SystemFailure(errno, named);
            Discard();
            return false;
        }
        Discard();
        m_path = named;
    }
    if (m_path.empty()) {
        failure = {FileCause::generic, -1};
        return false;
    }
    const bool replaced = ReplaceWith(m_path, target, failure);
    if (!replaced) ::unlink(m_path.c_str());
    m_path.clear();
    return replaced;
}

void TemporaryOutput::Discard() {
    if (m_system.unnamed >= 0) ::close(m_system.unnamed);  // an unnamed file goes with it
    m_system.unnamed = -1;
    if (m_path.empty()) return;
    ::unlink(m_path.c_str());
    RemoveOnInterrupt({});
    m_path.clear();
}

bool ReplaceWith(const std::string& from, const std::string& to, FileFailure& failure) {
    struct stat existing {};
    if (::stat(to.c_str(), &existing) == 0) {
        // The owner first: giving a file away clears its set-user-ID and
        // set-group-ID bits, which the chmod puts back. An owner that cannot
        // be kept is no reason to fail: the new file is then ours, as any
        // file we create.
        KeepOwner(from, existing);
        if (::chmod(from.c_str(), existing.st_mode & 07777) != 0) {
            failure = SystemFailure(errno, to);
            return false;
        }
    }
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    failure = SystemFailure(errno, to);
    return false;
}

}  // namespace varnel::safeoutput
