#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/records.h"
#include "http/exchange_observer.h"
#include "http/host_options.h"

namespace veldrask {

// What the download window reads of the control that opened it. Names are the control's own
// members, so the window never needs the control's class.
class DownloadOwner {
 public:
  // The folder the session writes into.
  virtual std::string downFolder() const = 0;
  // The files in list order, then an empty entry (FilesOfDownloadList, base/records.h).
  virtual std::vector<AttachedFile> DownFileList() const = 0;
  // Existing files are overwritten rather than kept beside numbered copies.
  virtual bool CheckDupFile() const = 0;
  virtual std::string EngTitleVer() const = 0;
  virtual std::string HostName() const = 0;
  virtual std::int16_t ServerPort() const = 0;
  virtual std::string MainTitle() const = 0;
  // Server paths are percent-encoded UTF-8 (the Charset setting names UTF-8).
  virtual bool NamesInUtf8() const = 0;
  // Who follows the exchanges for the host; null for nobody.
  virtual ExchangeObserver* Observer() const = 0;
  // What the host adds to the requests.
  virtual const HostOptions& GetHostOptions() const = 0;

 protected:
  ~DownloadOwner() = default;
};

}  // namespace veldrask
