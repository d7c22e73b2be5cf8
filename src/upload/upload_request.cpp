#include "upload/upload_request.h"

#include "base/checked.h"
#include "base/error.h"
#include "base/text.h"

namespace veldrask {
namespace {

constexpr std::string_view kDispositionPrefix = "Content-Disposition: form-data; name=\"";

// A CR, LF or NUL in a head line would end the line or the head where the server reads it.
void RequireHeadSafe(std::string_view text, std::string_view what) {
  if (text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos) return;
  throw Error(ErrorNumber::kInvalidArgument,
              std::string(what) + "에 줄바꿈(CR, LF)이나 NUL 문자가 있어 요청을 보낼 수 없습니다.");
}

std::int32_t EncodedLength(std::string_view text, const CodePage& codePage) {
  return CheckedNarrow<std::int32_t>(codePage.Encode(text).size());
}

std::string ComposeHead(const UploadSettings& settings) {
  std::string head;
  head.append("POST ").append(settings.actionUrl).append(" HTTP/1.1").append(kCrLf);
  head.append("Host: ").append(settings.hostName).append(kCrLf);
  head.append("Content-Type: multipart/form-data; boundary=")
      .append(settings.boundary)
      .append(kCrLf);
  head.append("Connection: Keep-Alive").append(kCrLf);
  head.append("Cookie: ").append(settings.cookie).append(kCrLf);
  for (const std::string& line : settings.host.extraHeaders) head.append(line).append(kCrLf);
  return head;
}

void AppendFieldPart(std::string& formData, std::string_view boundary, const PostData& field) {
  formData.append("--").append(boundary).append(kCrLf);
  formData.append(kDispositionPrefix).append(EscapePartHeadName(field.name)).append("\"");
  formData.append(kCrLf).append(kCrLf);
  formData.append(field.value).append(kCrLf);
}

std::string FilePartHead(std::string_view fieldName, std::string_view fileName) {
  std::string head(kDispositionPrefix);
  head.append(EscapePartHeadName(fieldName)).append("\"; filename=\"");
  head.append(EscapePartHeadName(fileName)).append("\"").append(kCrLf);
  head.append("Content-Type: application/octet-stream").append(kCrLf).append(kCrLf);
  return head;
}

}  // namespace

std::string PartTail(std::string_view boundary, bool lastFile) {
  std::string tail(kCrLf);
  tail.append("--").append(boundary).append(lastFile ? std::string_view("--") : kCrLf);
  return tail;
}

std::string EscapePartHeadName(std::string_view name) {
  std::string escaped;
  escaped.reserve(name.size());
  for (const char c : name) {
    switch (c) {
      case '"':
        escaped += "%22";
        break;
      case '\r':
        escaped += "%0D";
        break;
      case '\n':
        escaped += "%0A";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string FileNumberText(std::int16_t number, std::string_view paddingZero) {
  std::string text = ToDecimal(number);
  if (paddingZero == "1" && text.size() < 3) text.insert(0, 3 - text.size(), '0');
  return text;
}

void ComposeUploadRequest(const UploadSettings& settings, std::span<const PostData> fields,
                          std::span<const std::string> rowKeys, FileSystem& files,
                          const CodePage& bodyCodePage, UploadRequest& out) {
  RequireHeadSafe(settings.actionUrl, "ActionURL");
  RequireHeadSafe(settings.hostName, "HostName");
  RequireHeadSafe(settings.cookie, "쿠키");
  for (const std::string& line : settings.host.extraHeaders) RequireHeadSafe(line, "추가 헤더");
  out.httpHeader = ComposeHead(settings);

  out.formData.clear();
  for (const PostData& field : fields) AppendFieldPart(out.formData, settings.boundary, field);
  out.formData.append("--").append(settings.boundary);
  out.formData.append(rowKeys.empty() ? std::string_view("--") : kCrLf);

  // Both tails have the same length: CRLF "--" boundary, then CRLF or "--".
  const std::int32_t tailLength =
      CheckedAdd(CheckedNarrow<std::int32_t>(settings.boundary.size()), std::int32_t{6});
  std::int32_t length = 0;
  std::int16_t number = 0;
  out.attachedFiles.assign(rowKeys.size() + 1, AttachedFile{});
  for (const std::string& key : rowKeys) {
    number = CheckedAdd(number, std::int16_t{1});
    AttachedFile& file = out.attachedFiles[static_cast<std::size_t>(number)];
    file.key = key;
    file.name = std::string(AfterLast(key, files.Separator()));
    const std::string fieldName =
        settings.host.fileFieldName
            ? *settings.host.fileFieldName
            : settings.filePrefix + "_" + FileNumberText(number, settings.paddingZero);
    file.header = FilePartHead(fieldName, file.name);
    file.size = CheckedNarrow<std::int32_t>(files.FileSize(key));
    length = CheckedAdd(length, tailLength);
    length = CheckedAdd(length, file.size);
    length = CheckedAdd(length, EncodedLength(file.header, bodyCodePage));
  }
  length = CheckedAdd(length, EncodedLength(out.formData, bodyCodePage));

  out.httpHeader.append("Content-Length: ").append(ToDecimal(length)).append(kCrLf);
  out.httpHeader.append(kCrLf);
  out.attachedFiles.resize(static_cast<std::size_t>(number) + 1);
}

}  // namespace veldrask
