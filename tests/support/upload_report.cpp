#include "support/upload_report.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

#include "support/hex.h"

namespace veldrask::testing {
namespace {

// Names travel as hex of their bytes: a CP949 name is not valid JSON text.
using Json = nlohmann::json;

std::string Bytes(const Json& entry, std::string_view key) {
  return FromHex(entry.at(std::string(key) + "_hex").get<std::string>());
}

ReportedFile ReadFile(const Json& entry) {
  ReportedFile file;
  file.field = Bytes(entry, "field");
  file.filename = Bytes(entry, "filename");
  file.full_path = entry.contains("full_path_hex") ? Bytes(entry, "full_path") : file.filename;
  file.content_type = entry.at("content_type").get<std::string>();
  file.error = entry.at("error").get<int>();
  file.size = entry.at("size").get<std::uint64_t>();
  file.sha256 = entry.at("sha256").get<std::string>();
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
    const Json root = Json::parse(json);
    UploadReport report;
    report.server = root.at("server").get<std::string>();
    report.method = root.at("method").get<std::string>();
    report.path = root.at("path").get<std::string>();
    for (const Json& entry : root.at("fields")) {
      report.fields.push_back({Bytes(entry, "name"), Bytes(entry, "value")});
    }
    for (const Json& entry : root.at("files")) report.files.push_back(ReadFile(entry));
    return report;
  } catch (const std::exception& error) {
    throw std::runtime_error(std::string("not an upload report (") + error.what() +
                             "): " + std::string(json.substr(0, 2000)));
  }
}

}  // namespace veldrask::testing
