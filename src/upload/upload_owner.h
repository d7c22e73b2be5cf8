#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/records.h"
#include "http/exchange_observer.h"
#include "http/host_options.h"

namespace veldrask {

// What the upload window reads of the control that opened it, and the one thing it writes:
// the server's reply. Names are the control's own properties.
class UploadOwner {
 public:
  // The files to send, after an empty entry (FilesOfUploadList, base/records.h).
  virtual std::vector<AttachedFile> AttachedFileList() const = 0;
  virtual std::string EngTitleVer() const = 0;
  virtual std::int32_t BufferSize() const = 0;
  virtual std::string Boundary() const = 0;
  virtual std::string HostName() const = 0;
  virtual std::int16_t ServerPort() const = 0;
  virtual std::string UploadHTTPHeader() const = 0;
  virtual std::string UploadHTTPFormData() const = 0;
  virtual std::string MainTitle() const = 0;
  // Stores the reply body (UTF-8) as the control's ResponseData.
  virtual void SetHTTPResponseData(std::string data) = 0;
  // Stores the reply's status code and reason ("200 OK"), empty when no status line came.
  virtual void SetHTTPResponseStatus(std::string status) = 0;
  // Who follows the exchange for the host; null for nobody.
  virtual ExchangeObserver* Observer() const = 0;
  // What the host adds beyond the page: here, the proxies.
  virtual const HostOptions& GetHostOptions() const = 0;

 protected:
  ~UploadOwner() = default;
};

}  // namespace veldrask
