#pragma once

// The control's private interface for a host that embeds it in its own process, the command
// line's veldrask.exe: what the POSIX host gets from the core directly. It is in no type
// library and no script reaches it (a script sees the dispatch interface alone); a host that
// holds the object asks for it with QueryInterface. The DLL and the host are built from the
// same sources, so the layouts below are shared by compilation, not by a registered proxy:
// the interface is in-process only.

#include <unknwn.h>
#include <windows.h>

namespace veldrask::com {

// How one file of a download ended: the core's DownloadReport in plain types. The texts are
// UTF-8, NUL-terminated and valid for the call only; end is a DownloadEnd.
struct HostDownloadReport {
  const char* key;
  const char* name;
  LONG end;
  const char* statusCode;
  const char* reason;
  const char* detail;
  LONG announced;
  BOOL hasContentLength;
  ULONGLONG contentLength;
  LONG written;
  LONG errorNumber;  // the socket's, for a failed connection
};

// A proxy in plain types; a null host: none.
struct HostProxy {
  const char* host;
  ULONG hostLength;
  LONG port;
  const char* authorization;  // the Proxy-Authorization value; null: none
  ULONG authorizationLength;
};

// The core's HostOptions in plain types. Texts are UTF-8 and valid for the call only.
struct HostRequestOptions {
  const char* fileFieldName;  // one field name for every file part; null: FilePrefix and a number
  ULONG fileFieldNameLength;
  const char* extraHeaders;  // header lines, each ended by CR LF; null: none
  ULONG extraHeadersLength;
  BOOL keepGoing;        // a download's refused file does not stop the session
  LONG redirectLimit;    // a download's redirects followed for a file; 0: none
  HostProxy httpProxy;   // forwards plain requests
  HostProxy httpsProxy;  // tunnels TLS with CONNECT
  const char* noProxy;   // servers reached directly, each ended by CR LF; null: none
  ULONG noProxyLength;
};

// Made by the host: the control's exchanges as they happen. Calls come from inside the
// transfer windows' waits: the sink must not call the control or close windows from them
// (posting is fine). Texts are UTF-8, bytes as they came; both are valid for the call only.
struct IUploaderExchangeSink : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Connecting() = 0;
  virtual HRESULT STDMETHODCALLTYPE Connected() = 0;
  // The head of a request as it goes out.
  virtual HRESULT STDMETHODCALLTYPE RequestHead(const char* head, ULONG length) = 0;
  // Bytes went out or came in.
  virtual HRESULT STDMETHODCALLTYPE Progress() = 0;
  // The final response's head as lines ("HTTP/1.1 200 OK", "Name: value", an empty line).
  virtual HRESULT STDMETHODCALLTYPE ResponseHead(const char* head, ULONG length) = 0;
  // S_OK when the sink takes the whole body of an upload's reply through ReplyBody, S_FALSE
  // when not.
  virtual HRESULT STDMETHODCALLTYPE TakesReplyBody() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReplyBody(const BYTE* bytes, ULONG length) = 0;
  virtual HRESULT STDMETHODCALLTYPE DownloadEnded(const HostDownloadReport* report) = 0;
  // The connection failed with the socket's error number and description.
  virtual HRESULT STDMETHODCALLTYPE SocketFailed(LONG number, const char* description,
                                                 ULONG length) = 0;
  // The heads of a proxy tunnel's CONNECT exchange, as they went out and came in.
  virtual HRESULT STDMETHODCALLTYPE TunnelRequestHead(const char* head, ULONG length) = 0;
  virtual HRESULT STDMETHODCALLTYPE TunnelAnswerHead(const char* head, ULONG length) = 0;
};

// Answered by the control object.
struct IUploaderHostLink : IUnknown {
  // Follows the exchanges through sink, which the object holds until replaced; null lets go.
  virtual HRESULT STDMETHODCALLTYPE FollowExchanges(IUploaderExchangeSink* sink) = 0;
  // Adds the certificates of a PEM text as roots for this object's TLS connections, beside the
  // system's store; E_INVALIDARG when the text holds none.
  virtual HRESULT STDMETHODCALLTYPE AddTrustedRoots(const char* pem, ULONG length) = 0;
  // FALSE: this object's TLS connections check no certificate at all.
  virtual HRESULT STDMETHODCALLTYPE CheckCertificates(BOOL check) = 0;
  // What the host adds to the requests; replaces what was set before.
  virtual HRESULT STDMETHODCALLTYPE SetHostOptions(const HostRequestOptions* options) = 0;
};

// {B36005FA-4823-4154-854B-B4579763D370}
inline constexpr IID IID_IUploaderExchangeSink = {
    0xb36005fa, 0x4823, 0x4154, {0x85, 0x4b, 0xb4, 0x57, 0x97, 0x63, 0xd3, 0x70}};
// {57D0A8C5-41AE-49FE-BD05-FAFAAC67B55C}
inline constexpr IID IID_IUploaderHostLink = {
    0x57d0a8c5, 0x41ae, 0x49fe, {0xbd, 0x05, 0xfa, 0xfa, 0xac, 0x67, 0xb5, 0x5c}};

}  // namespace veldrask::com
