#pragma once

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

#include "posix/reg_tree.h"

namespace veldrask::posix {

// One hive's .reg file (e.g. HKEY_LOCAL_MACHINE.reg), shared with other processes. Readers
// take a shared flock on "<file>.lock" and see every finished write; a writer takes the lock
// exclusively, re-reads the file, applies its change and renames a complete new file over the
// old one, so the file is never seen half-written and the last writer wins. A file holding
// lines that could not be read is kept beside itself before it is replaced, as the new one
// holds only what could be read.
class RegHiveFile {
 public:
  // Told the path of each damaged file kept.
  using DamagedKept = std::function<void(const std::string& keptPath)>;
  // Told of each change that could not be stored: the file or folder that failed and the
  // errno value (ENOSPC for a full disk). The caller sees only status 5.
  using WriteFailed = std::function<void(const std::string& path, int error)>;

  RegHiveFile(std::string folder, std::string hiveName, DamagedKept onDamagedKept = nullptr,
              WriteFailed onWriteFailed = nullptr);

  const std::string& HiveName() const { return hiveName_; }

  // The hive as the file holds it now: re-read whenever the file changed since the last read.
  // A missing or unreadable file reads as an empty hive.
  const RegTree& Read();

  // Applies change to the current contents under the exclusive lock and stores the result when
  // change returns 0 (success). Returns change's status, or 5 (access denied) when the file
  // could not be written.
  std::int32_t Modify(const std::function<std::int32_t(RegTree&)>& change);

 private:
  // What identifies one version of the file: a rename gives a new inode, an edit in place a
  // new size or time.
  struct Signature {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{};
    timespec changed{};

    bool operator==(const Signature& other) const;
  };

  // Brings tree_ up to date with the file; false when the file exists but cannot be read
  // (tree_ is empty then).
  bool Refresh();
  // Writes the damaged file's text to "<file>.damaged-<UTC time>"; false when it cannot.
  bool KeepDamaged();
  bool Store(const RegTree& tree);
  // Tells of a failed write with the errno of the call that failed; status 5.
  std::int32_t Failed(const std::string& path);

  std::string folder_;
  std::string hiveName_;
  std::string path_;
  std::string lockPath_;
  DamagedKept onDamagedKept_;
  WriteFailed onWriteFailed_;
  RegTree tree_;
  // The file's text when some of its lines could not be read, else empty.
  std::string damagedText_;
  Signature signature_;
  bool loaded_ = false;
  bool readable_ = true;
};

}  // namespace veldrask::posix
