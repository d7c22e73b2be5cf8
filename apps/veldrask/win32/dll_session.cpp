#include "dll_session.h"

#include <windows.h>

#include <chrono>
#include <stdexcept>

#include "exit_status.h"
#include "options.h"
#include "terminal_text.h"
#include "thread_limit_timer.h"
#include "win32/com/host_link.h"
#include "win32/wide_text.h"

namespace veldrask::host {
namespace {

constexpr char kProgId[] = "VeldraskUploader.UploaderControl";
constexpr char kDllName[] = "VeldraskUploader.dll";
constexpr wchar_t kSettingsKey[] = L"Software\\VELDRASKUpDownloader";
constexpr wchar_t kDownPathValue[] = L"DownPath";
// The control's designed size on a page, in pixels.
constexpr int kWidth = 632;
constexpr int kHeight = 433;

// The control's DLL beside this program, for when it is not registered.
std::string DllBesideProgram() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::size_t slash = path.find_last_of(L"\\/");
  return win32::Narrow(path.substr(0, slash + 1)) + kDllName;
}

// The folder the control's folder browser keeps for it, where downloads go.
void RememberDownloadFolder(const std::string& folder) {
  HKEY settings = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &settings, nullptr) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot write the download folder to the registry");
  }
  const std::wstring value = win32::Widen(folder);
  const LONG written = RegSetValueExW(settings, kDownPathValue, 0, REG_SZ,
                                      reinterpret_cast<const BYTE*>(value.c_str()),
                                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(settings);
  if (written != ERROR_SUCCESS) {
    throw std::runtime_error("cannot write the download folder to the registry");
  }
}

// How often windows opened after a time limit passed are looked for.
constexpr std::chrono::milliseconds kCloseEvery{50};

// The error numbers scripts see for the dispatch layer's own failures.
std::int32_t ScriptNumber(std::int32_t result) {
  switch (static_cast<HRESULT>(result)) {
    case DISP_E_UNKNOWNNAME:
    case DISP_E_MEMBERNOTFOUND:
      return NumberOf(ErrorNumber::kMemberNotFound);
    case DISP_E_PARAMNOTOPTIONAL:
      return NumberOf(ErrorNumber::kArgumentNotOptional);
    case DISP_E_BADPARAMCOUNT:
      return NumberOf(ErrorNumber::kWrongArgumentCount);
    case DISP_E_TYPEMISMATCH:
      return NumberOf(ErrorNumber::kTypeMismatch);
    case DISP_E_OVERFLOW:
      return NumberOf(ErrorNumber::kOverflow);
    default:
      return 0;
  }
}

}  // namespace

Error ControlError(const container::MemberError& error) {
  const auto result = static_cast<HRESULT>(error.Number());
  if (FAILED(result) && HRESULT_FACILITY(result) == FACILITY_CONTROL) {
    const std::int32_t number = HRESULT_CODE(result);
    return Error(number, error.Description().empty() ? std::string(DescribeError(number))
                                                     : error.Description());
  }
  if (const std::int32_t number = ScriptNumber(error.Number())) {
    return Error(number, std::string(DescribeError(number)));
  }
  return Error(error.Number(), error.Description());
}

DllSession::DllSession(Console& console, const DllSessionSettings& settings)
    : console_(console),
      quiet_(!settings.followTransfers),
      limits_(ThreadTimers(), settings.limits, [this] { CloseTransferWindows(); }),
      exchange_(console, settings.verbose, &limits_),
      sink_(new ExchangeSink(exchange_)),
      closer_(ThreadTimers()([this] { CloseTransferWindows(); })) {
  if (settings.downloadFolder) RememberDownloadFolder(*settings.downloadFolder);
  user_.OnMessage([this](const container::SeenMessage& message) {
    if (finishedRows_) finishedRows_->Report();
    console_.Print(TerminalLines(WithEnglishReason(message.text)));
  });
  host_.emplace(container::ControlSource{kProgId, DllBesideProgram()}, "veldrask");
  host_->SetCookie(settings.cookie);
  try {
    host_->LoadParams(settings.params);
  } catch (const container::ParamLoadError& error) {
    throw ParamLoadFailure(error.Name(), ControlError(error));
  } catch (const container::MemberError& error) {
    throw ControlError(error);
  }
  LinkToControl(settings);
  host_->Activate(kWidth, kHeight);
  if (settings.followTransfers) finishedRows_.emplace(console_, host_->PageWindow());
}

DllSession::~DllSession() {
  // The control lets go of the sink before what it calls goes.
  if (auto link = host_->QueryControl<com::IUploaderHostLink>(com::IID_IUploaderHostLink)) {
    link->FollowExchanges(nullptr);
  }
}

void DllSession::LinkToControl(const DllSessionSettings& settings) {
  auto link = host_->QueryControl<com::IUploaderHostLink>(com::IID_IUploaderHostLink);
  if (!link)
    throw std::runtime_error(
        "the control DLL in use offers the host no link to its exchanges: is an older "
        "VeldraskUploader.dll registered?");
  if (FAILED(link->FollowExchanges(sink_.Get()))) {
    throw std::runtime_error("the control DLL does not let the host follow its exchanges");
  }
  if (settings.trustedRoots) {
    const std::string& pem = *settings.trustedRoots;
    if (FAILED(link->AddTrustedRoots(pem.data(), static_cast<ULONG>(pem.size())))) {
      throw UsageError("--cacert: the file holds no PEM certificate");
    }
  }
  link->CheckCertificates(settings.checkCertificates ? TRUE : FALSE);
  const HostOptions& host = settings.hostOptions;
  const auto lines = [](const std::vector<std::string>& each) {
    std::string text;
    for (const std::string& line : each) text += line + "\r\n";
    return text;
  };
  const auto proxy = [](const std::optional<ProxyPlace>& place) {
    return place ? com::HostProxy{place->host.data(), static_cast<ULONG>(place->host.size()),
                                  place->port, place->authorization.data(),
                                  static_cast<ULONG>(place->authorization.size())}
                 : com::HostProxy{nullptr, 0, 0, nullptr, 0};
  };
  const std::string headerLines = lines(host.extraHeaders);
  const std::string noProxyLines = lines(host.noProxy);
  const com::HostRequestOptions plain{
      .fileFieldName = host.fileFieldName ? host.fileFieldName->data() : nullptr,
      .fileFieldNameLength = static_cast<ULONG>(host.fileFieldName.value_or("").size()),
      .extraHeaders = headerLines.data(),
      .extraHeadersLength = static_cast<ULONG>(headerLines.size()),
      .keepGoing = host.keepGoing ? TRUE : FALSE,
      .redirectLimit = host.redirectLimit,
      .httpProxy = proxy(host.httpProxy),
      .httpsProxy = proxy(host.httpsProxy),
      .noProxy = noProxyLines.data(),
      .noProxyLength = static_cast<ULONG>(noProxyLines.size()),
  };
  link->SetHostOptions(&plain);
}

void DllSession::CloseTransferWindows() {
  // A message box's text is the user's to read and answer: it stays.
  ConsoleInterrupt::CloseModalWindows(GetCurrentThreadId(), false);
  closer_->Arm(kCloseEvery);
}

std::string DllSession::Get(std::string_view property) {
  try {
    return host_->Get(property);
  } catch (const container::MemberError& error) {
    throw ControlError(error);
  }
}

void DllSession::Put(std::string_view property, std::string_view value) {
  try {
    host_->Put(property, value);
  } catch (const container::MemberError& error) {
    throw ControlError(error);
  }
}

std::string DllSession::Call(std::string_view method, const std::vector<std::string>& arguments) {
  try {
    return host_->Call(method, arguments);
  } catch (const container::MemberError& error) {
    throw ControlError(error);
  }
}

container::OwnedVariant DllSession::Invoke(std::string_view member, container::MemberKind kind,
                                           const std::vector<std::string>& arguments) {
  try {
    return host_->Invoke(member, kind, arguments);
  } catch (const container::MemberError& error) {
    throw ControlError(error);
  }
}

void DllSession::ReportLocation() {
  const std::string location = host_->Location();
  if (quiet_ || location.empty() || location == locationShown_) return;
  locationShown_ = location;
  console_.Print("location: " + location);
}

}  // namespace veldrask::host
