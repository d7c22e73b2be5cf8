#pragma once

#include <cstdint>
#include <string>

#include "common/engine_title.h"

namespace veldrask {

// The control's properties and the remaining allowance that follows MaxFileSize, with their
// start-up values. Writers store without validation; the upload queue and the transfers
// read them.
struct Properties {
  std::int16_t maxFileCount = 1;
  std::int32_t maxFileSize = 1;    // megabytes
  std::int32_t remainSize = 1024;  // kilobytes
  std::int32_t unitFileSize = 0;   // megabytes; 0 = no per-file limit
  std::string mainTitle{kEngineTitle};
  std::string hostName;
  std::string actionUrl;
  std::string returnUrl;
  std::int16_t serverPort = 80;
  std::string filePrefix = "file";
  std::string paddingZero = "0";
  std::string excludeFileExtension;
  std::int32_t bufferSize = 8192;
  std::string upDownload = "0";
  std::string boundary;
  std::string responseData;
  // The status code and reason of the last upload's reply; empty when no status line came.
  std::string responseStatus;
  // The charset of the upload request's texts: empty (the ANSI code page) or UTF-8.
  std::string charset;
};

}  // namespace veldrask
