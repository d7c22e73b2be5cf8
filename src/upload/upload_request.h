#pragma once

// The multipart/form-data POST that Submit composes and the upload window sends. Texts are
// kept as UTF-8; they become bytes of a code page when counted and when sent, so both use
// the same encoding.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/records.h"
#include "http/host_options.h"
#include "platform/code_page.h"
#include "platform/file_system.h"

namespace veldrask {

// What the composition reads of the control, HostName already normalized.
struct UploadSettings {
  std::string actionUrl;
  std::string hostName;
  std::string cookie;
  std::string boundary;
  std::string filePrefix;
  std::string paddingZero;
  // A host's additions, never a page's.
  HostOptions host = {};
};

struct UploadRequest {
  // The request head, ending with the blank line.
  std::string httpHeader;
  // The form fields and the delimiter that opens the first file part or closes the body.
  std::string formData;
  // The local files in list order, after an empty entry (FilesOfUploadList, base/records.h).
  std::vector<AttachedFile> attachedFiles;
};

// Composes the request into out, filling httpHeader, formData and attachedFiles in that
// order, so a failure leaves what was composed before it. rowKeys are the keys of the upload
// list's local rows in row order; rows of files already on the server are not passed.
// bodyCodePage encodes what Content-Length counts: the form fields and the part heads. The
// head goes out in the head's code page, which the count does not involve.
//
// Raises veldrask::Error: invalid argument when ActionURL, HostName, the cookie or a host's
// header line holds a CR, LF or NUL (they would split the head); the file system's error for a file
// whose size cannot be read; overflow past 32767 files or 2,147,483,647 bytes.
void ComposeUploadRequest(const UploadSettings& settings, std::span<const PostData> fields,
                          std::span<const std::string> rowKeys, FileSystem& files,
                          const CodePage& bodyCodePage, UploadRequest& out);

// The text after a file part's bytes: CRLF "--" boundary, then "--" after the last file and
// CRLF after any other.
std::string PartTail(std::string_view boundary, bool lastFile);

// A name as a part head carries it: '"', CR and LF become %22, %0D and %0A, so no name can
// end the quoted text or the line early.
std::string EscapePartHeadName(std::string_view name);

// A file part's number as its field name shows it: at least three digits when paddingZero
// is exactly "1", plain decimal otherwise.
std::string FileNumberText(std::int16_t number, std::string_view paddingZero);

}  // namespace veldrask
