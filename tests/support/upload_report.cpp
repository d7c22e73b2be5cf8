#include "support/upload_report.h"

#include <stdexcept>

#include "support/hex.h"
#include "support/json.h"

namespace veldrask::testing {
namespace {

// Names travel as hex of their bytes: a CP949 name is not valid JSON text.
std::string Bytes(const JsonValue& entry, std::string_view key) {
  return FromHex(entry[std::string(key) + "_hex"].AsString());
}

ReportedFile ReadFile(const JsonValue& entry) {
  ReportedFile file;
  file.field = Bytes(entry, "field");
  file.filename = Bytes(entry, "filename");
  file.full_path =
      entry.Find("full_path_hex") != nullptr ? Bytes(entry, "full_path") : file.filename;
  file.content_type = entry["content_type"].AsString();
  file.error = static_cast<int>(entry["error"].AsInt());
  file.size = static_cast<std::uint64_t>(entry["size"].AsInt());
  file.sha256 = entry["sha256"].AsString();
  file.stored = Bytes(entry, "stored");
  return file;
}

}  // namespace

const ReportedField* UploadReport::FindField(std::string_view name) const {
  for (const ReportedField& field : fields) {
    if (field.name == name) return &field;
  }
  return nullptr;
}

const ReportedFile* UploadReport::FindFile(std::string_view field) const {
  for (const ReportedFile& file : files) {
    if (file.field == field) return &file;
  }
  return nullptr;
}

UploadReport ParseUploadReport(std::string_view json) {
  try {
    const JsonValue root = ParseJson(json);
    UploadReport report;
    report.server = root["server"].AsString();
    report.method = root["method"].AsString();
    report.path = root["path"].AsString();
    for (const JsonValue& entry : root["fields"].AsArray()) {
      report.fields.push_back({Bytes(entry, "name"), Bytes(entry, "value")});
    }
    for (const JsonValue& entry : root["files"].AsArray()) {
      report.files.push_back(ReadFile(entry));
    }
    return report;
  } catch (const std::exception& error) {
    throw std::runtime_error(std::string("not an upload report (") + error.what() +
                             "): " + std::string(json.substr(0, 2000)));
  }
}

}  // namespace veldrask::testing
