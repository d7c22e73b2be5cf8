#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veldrask::testing {

// One form field as an upload server parsed it; names and values are the exact bytes.
struct ReportedField {
  std::string name;
  std::string value;
};

// One file part as an upload server parsed and stored it.
struct ReportedFile {
  std::string field;
  std::string filename;      // as the parser gave it (PHP: the last path component)
  std::string full_path;     // PHP only: the name as sent, directories included
  std::string content_type;  // the part's Content-Type, empty when it had none
  int error = 0;             // PHP's UPLOAD_ERR_* (4: no file), 0 elsewhere
  std::uint64_t size = 0;    // of the stored file
  std::string sha256;        // of the stored file, lower-case hex
  std::string stored;        // name of the file in the store, empty when nothing was stored
};

// The JSON answer of the PHP, formidable, busboy, email and Werkzeug servers to a POST.
struct UploadReport {
  std::string server;  // "php", "formidable", "busboy", "email" or "werkzeug"
  std::string method;
  std::string path;
  std::vector<ReportedField> fields;  // in the order the server lists them
  std::vector<ReportedFile> files;

  // The first field or file part of that name, or nullptr.
  const ReportedField* FindField(std::string_view name) const;
  const ReportedFile* FindFile(std::string_view field) const;
};

// Reads a server's answer body; throws std::runtime_error when it is not such a report.
UploadReport ParseUploadReport(std::string_view json);

}  // namespace veldrask::testing
