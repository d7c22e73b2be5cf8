#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/records.h"

namespace veldrask {

// What the download window reads of the control that opened it. Names are the control's own
// members, so the window never needs the control's class.
class DownloadOwner {
 public:
  // The folder the session writes into.
  virtual std::string downFolder() const = 0;
  // Entries 0..n-1 are the files in list order; entry n is empty.
  virtual std::vector<AttachedFile> DownFileList() const = 0;
  // Existing files are overwritten rather than kept beside numbered copies.
  virtual bool CheckDupFile() const = 0;
  virtual std::string EngTitleVer() const = 0;
  virtual std::string HostName() const = 0;
  virtual std::int16_t ServerPort() const = 0;
  virtual std::string MainTitle() const = 0;
  // The charset setting of requests (empty for the ANSI code page, or UTF-8).
  virtual std::string Charset() const = 0;

 protected:
  ~DownloadOwner() = default;
};

}  // namespace veldrask
