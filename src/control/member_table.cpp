#include "control/member_table.h"

#include "base/error.h"
#include "base/text.h"
#include "control/uploader_control.h"

namespace veldrask {
namespace {

using Args = std::span<Variant>;
constexpr auto kGet = MemberKind::kGet;
constexpr auto kLet = MemberKind::kLet;
constexpr auto kMethod = MemberKind::kMethod;
constexpr auto kString = ValueType::kString;
constexpr auto kInt16 = ValueType::kInt16;
constexpr auto kInt32 = ValueType::kInt32;
constexpr auto kNone = ValueType::kNone;

std::vector<Member> BuildTable() {
  return {
      {"AddPostData",
       kMethod,
       {{"name", kString}, {"value", kString}},
       kNone,
       [](UploaderControl& c, Args a) {
         c.AddPostData(a[0].ToString(), a[1].ToString());
         return Variant();
       }},
      {"Submit",
       kMethod,
       {},
       kString,
       [](UploaderControl& c, Args) { return Variant(c.Submit()); }},
      {"EngTitleVer",
       kGet,
       {},
       kString,
       [](UploaderControl& c, Args) { return Variant(c.EngTitleVer()); }},
      {"UploadHTTPHeader",
       kGet,
       {},
       kString,
       [](UploaderControl& c, Args) { return Variant(c.UploadHTTPHeader()); }},
      {"UploadHTTPFormData",
       kGet,
       {},
       kString,
       [](UploaderControl& c, Args) { return Variant(c.UploadHTTPFormData()); }},
      {"AttachedFileList",
       kGet,
       {},
       ValueType::kFileArray,
       [](UploaderControl& c, Args) { return Variant(c.AttachedFileList()); }},
      {"CurrentFileCount",
       kGet,
       {},
       kInt16,
       [](UploaderControl& c, Args) { return Variant(c.CurrentFileCount()); }},
      {"MaxFileCount",
       kGet,
       {},
       kInt16,
       [](UploaderControl& c, Args) { return Variant(c.MaxFileCount()); }},
      {"MaxFileCount",
       kLet,
       {{"value", kInt16}},
       kNone,
       [](UploaderControl& c, Args a) {
         c.SetMaxFileCount(a[0].ToInt16());
         return Variant();
       }},
      {"MaxFileSize",
       kGet,
       {},
       kInt32,
       [](UploaderControl& c, Args) { return Variant(c.MaxFileSize()); }},
      {"MaxFileSize",
       kLet,
       {{"value", kInt32}},
       kNone,
       [](UploaderControl& c, Args a) {
         c.SetMaxFileSize(a[0].ToInt32());
         return Variant();
       }},
      {"UnitFileSize",
       kGet,
       {},
       kInt32,
       [](UploaderControl& c, Args) { return Variant(c.UnitFileSize()); }},
      {"UnitFileSize",
       kLet,
       {{"value", kInt32}},
       kNone,
       [](UploaderControl& c, Args a) {
         c.SetUnitFileSize(a[0].ToInt32());
         return Variant();
       }},
      {"MainTitle",
       kGet,
       {},
       kString,
       [](UploaderControl& c, Args) { return Variant(c.MainTitle()); }},
      {"MainTitle",
       kLet,
       {{"value", kString}},
       kNone,
       [](UploaderControl& c, Args a) {
         c.SetMainTitle(a[0].ToString());
         return Variant();
       }},
      {"HostName",
       kGet,
       {},
       kString,
       [](UploaderControl& c, Args) { return Variant(c.HostName()); }},
      {"HostName",
       kLet,
       {{"value", kString}},
       kNone,
       [](UploaderControl& c, Args a) {
         c.SetHostName(a[0].ToString());
         return Variant();
       }},
      {"ActionURL",
       kGet,
       {},
       kString,
       [](UploaderControl& c, Args) { return Variant(c.ActionURL()); }},
      {"ActionURL",
       kLet,
       {{"value", kString}},
       kNone,
       [](UploaderControl& c, Args a) {
         c.SetActionURL(a[0].ToString());
         return Variant();
       }},
      {"ReturnURL",
       kGet,
       {},
       kString,
       [](UploaderControl& c, Args) { return Variant(c.ReturnURL()); }},
      {"ReturnURL",
       kLet,
       {{"value", kString}},
       kNone,
       [](UploaderControl& c, Args a) {
         c.SetReturnURL(a[0].ToString());
         return Variant();
       }},
      {"ServerPort",
       kGet,
       {},
       kInt16,
       [](UploaderControl& c, Args) { return Variant(c.ServerPort()); }},
      {"ServerPort",
       kLet,
       {{"value", kInt16}},
       kNone,
       [](UploaderControl& c, Args a) {
         c.SetServerPort(a[0].ToInt16());
         return Variant();
       }},
      {"FilePrefix",
       kGet,
       {},
       kString,
       [](UploaderControl& c, Args) { return Variant(c.FilePrefix()); }},
      {"FilePrefix",
       kLet,
       {{"value", kString}},
       kNone,
       [](UploaderControl& c, Args a) {
         c.SetFilePrefix(a[0].ToString());
         return Variant();
       }},
      {"PaddingZero",
       kGet,
       {},
       kString,
       [](UploaderControl& c, Args) { return Variant(c.PaddingZero()); }},
      {"PaddingZero",
       kLet,
       {{"value", kString}},
       kNone,
       [](UploaderControl& c, Args a) {
         c.SetPaddingZero(a[0].ToString());
         return Variant();
       }},
      {"ExcludeFileExtension",
       kGet,
       {},
       kString,
       [](UploaderControl& c, Args) { return Variant(c.ExcludeFileExtension()); }},
      {"ExcludeFileExtension",
       kLet,
       {{"value", kString}},
       kNone,
       [](UploaderControl& c, Args a) {
         c.SetExcludeFileExtension(a[0].ToString());
         return Variant();
       }},
      {"BufferSize",
       kGet,
       {},
       kInt32,
       [](UploaderControl& c, Args) { return Variant(c.BufferSize()); }},
      {"BufferSize",
       kLet,
       {{"value", kInt32}},
       kNone,
       [](UploaderControl& c, Args a) {
         c.SetBufferSize(a[0].ToInt32());
         return Variant();
       }},
      {"Boundary",
       kGet,
       {},
       kString,
       [](UploaderControl& c, Args) { return Variant(c.Boundary()); }},
      {"HTTPResponseData",
       kLet,
       {{"value", kString}},
       kNone,
       [](UploaderControl& c, Args a) {
         c.SetHTTPResponseData(a[0].ToString());
         return Variant();
       }},
      {"UpDownload",
       kGet,
       {},
       kString,
       [](UploaderControl& c, Args) { return Variant(c.UpDownload()); }},
      {"UpDownload",
       kLet,
       {{"value", kString}},
       kNone,
       [](UploaderControl& c, Args a) {
         c.SetUpDownload(a[0].ToString());
         return Variant();
       }},
      {"DownFileList",
       kGet,
       {},
       ValueType::kFileArray,
       [](UploaderControl& c, Args) { return Variant(c.DownFileList()); }},
      {"AddDownloadFile",
       kMethod,
       {{"name", kString}, {"size", kInt32}},
       kNone,
       [](UploaderControl& c, Args a) {
         c.AddDownloadFile(a[0].ToString(), a[1].ToInt32());
         return Variant();
       }},
      {"AddUploadedFile",
       kMethod,
       {{"name", kString}, {"size", kInt32}},
       kNone,
       [](UploaderControl& c, Args a) {
         c.AddUploadedFile(a[0].ToString(), a[1].ToInt32());
         return Variant();
       }},
      {"GetUploadedFiles",
       kMethod,
       {},
       kString,
       [](UploaderControl& c, Args) { return Variant(c.GetUploadedFiles()); }},
      {"GetDeletedFiles",
       kMethod,
       {},
       kString,
       [](UploaderControl& c, Args) { return Variant(c.GetDeletedFiles()); }},
      {"GetUploadingFiles",
       kMethod,
       {},
       kString,
       [](UploaderControl& c, Args) { return Variant(c.GetUploadingFiles()); }},
      {"URLDecode",
       kMethod,
       {{"strURL", kString, true}},
       kString,
       [](UploaderControl& c, Args a) { return Variant(c.URLDecode(a[0].ToString())); }},
      {"URLEncode",
       kMethod,
       {{"Text", kString}},
       kString,
       [](UploaderControl& c, Args a) { return Variant(c.URLEncode(a[0].ToString())); }},
      {"downFolder",
       kMethod,
       {},
       kString,
       [](UploaderControl& c, Args) { return Variant(c.downFolder()); }},
      {"CheckDupFile",
       kMethod,
       {},
       ValueType::kBool,
       [](UploaderControl& c, Args) { return Variant::FromBool(c.CheckDupFile()); }},
      {"RegiSaveString",
       kMethod,
       {{"HKey", kInt32}, {"strPath", kString}, {"strValueName", kString}, {"strData", kString}},
       kInt32,
       [](UploaderControl& c, Args a) {
         return Variant(
             c.RegiSaveString(a[0].ToInt32(), a[1].ToString(), a[2].ToString(), a[3].ToString()));
       }},
      {"RegiDeleteKey",
       kMethod,
       {{"HKey", kInt32}, {"strKey", kString}},
       kInt32,
       [](UploaderControl& c, Args a) {
         return Variant(c.RegiDeleteKey(a[0].ToInt32(), a[1].ToString()));
       }},
      {"RegiDeleteValue",
       kMethod,
       {{"HKey", kInt32}, {"strPath", kString}, {"strValueName", kString}},
       kInt32,
       [](UploaderControl& c, Args a) {
         return Variant(c.RegiDeleteValue(a[0].ToInt32(), a[1].ToString(), a[2].ToString()));
       }},
      {"Charset", kGet, {}, kString, [](UploaderControl& c, Args) { return Variant(c.Charset()); }},
      {"Charset",
       kLet,
       {{"value", kString}},
       kNone,
       [](UploaderControl& c, Args a) {
         c.SetCharset(a[0].ToString());
         return Variant();
       }},
      {"HTTPResponseStatus",
       kGet,
       {},
       kString,
       [](UploaderControl& c, Args) { return Variant(c.HTTPResponseStatus()); }},
  };
}

Variant Convert(const Variant& value, ValueType type) {
  switch (type) {
    case ValueType::kString:
      return Variant(value.ToString());
    case ValueType::kInt16:
      return Variant(value.ToInt16());
    case ValueType::kInt32:
      return Variant(value.ToInt32());
    case ValueType::kBool:
      return Variant::FromBool(value.ToBool());
    case ValueType::kFileArray:
      return Variant(value.ToFileArray());
    case ValueType::kNone:
      break;
  }
  return value;
}

}  // namespace

const std::vector<Member>& MemberTable() {
  static const std::vector<Member> table = BuildTable();
  return table;
}

const Member* FindMember(std::string_view name, MemberKind kind) {
  const std::string wanted = ToUpperAscii(name);
  for (const Member& member : MemberTable()) {
    if (member.kind == kind && ToUpperAscii(member.name) == wanted) return &member;
  }
  return nullptr;
}

Variant InvokeMember(UploaderControl& control, std::string_view name, MemberKind kind,
                     std::vector<Variant>& arguments) {
  const Member* member = FindMember(name, kind);
  if (member == nullptr) throw Error(ErrorNumber::kMemberNotFound);
  if (arguments.size() < member->parameters.size()) {
    throw Error(ErrorNumber::kArgumentNotOptional);
  }
  if (arguments.size() > member->parameters.size()) {
    throw Error(ErrorNumber::kWrongArgumentCount);
  }
  std::vector<Variant> converted;
  converted.reserve(arguments.size());
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    converted.push_back(Convert(arguments[i], member->parameters[i].type));
  }
  Variant result = member->invoke(control, converted);
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (member->parameters[i].byReference) arguments[i] = converted[i];
  }
  return result;
}

}  // namespace veldrask
