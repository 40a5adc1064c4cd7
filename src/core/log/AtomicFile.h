#pragma once

#include <string>
#include <string_view>

namespace pq {

// Writes a file so that a failure or a crash leaves either the old bytes or the new ones. The new bytes go to a
// temporary file beside the target, which is synced and renamed over it. Where a new name would lose what the user
// set on the file (other hard links, an owner or group or extended attributes the user cannot give a new file), or
// the folder takes no new files, the synced bytes are instead copied over the file in place.
//
// A symbolic link is followed to the file it names, which is created when missing. A file the user may not write
// is refused as read-only. Temporary files are named by one short pattern whatever the target's name, and leftovers
// of a killed save in the folder are removed by the next one.
class AtomicFile {
public:
    explicit AtomicFile(std::string path);
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;
    // Removes the temporary file of a write that was not committed.
    ~AtomicFile();

    // Each step answers false once anything has failed; Error then names the path and the cause.
    bool Open();
    bool Write(std::string_view bytes);
    bool Commit();
    const std::string &Error() const { return Failure; }

    // Whether a file name in a folder is one of this class's temporary files.
    static bool IsTemporaryName(std::string_view name);
    // The folder that holds the file a path leads to through its links (the folder a save writes in).
    static std::string TargetFolder(const std::string &path);

private:
    // Fail and FailWith name the path (and a link's target) before the cause; Refuse takes the whole message.
    bool Fail(int error);
    bool FailWith(const std::string &cause);
    bool Refuse(std::string message);
    bool FailInFolder();
    bool CreateTemporary();
    void CopyAttributes();
    bool CopyInPlace();
    bool WriteDirectly();
    void RemoveTemporary();

    std::string Path;   // as given
    std::string Target; // the file the links lead to
    std::string Folder; // the folder that holds Target
    std::string TempPath;
    std::string Pending; // the bytes, when no temporary file could be made
    int TempFd = -1;
    int TempError = 0; // why no temporary file could be made
    bool Exists = false;
    bool InPlace = false;
    bool Failed = false;
    unsigned OwnerId = 0;
    unsigned GroupId = 0;
    unsigned Mode = 0;
    std::string Failure;
};

} // namespace pq
