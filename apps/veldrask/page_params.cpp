#include "page_params.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <string>

#include "base/text.h"
#include "libxml_library.h"

namespace veldrask::host {
namespace {

struct DocumentDeleter {
  void operator()(xmlDoc* document) const { LibXml().xmlFreeDoc(document); }
};
using Document = std::unique_ptr<xmlDoc, DocumentDeleter>;

struct TextDeleter {
  void operator()(xmlChar* text) const { (*LibXml().xmlFree)(text); }
};

constexpr int kParseOptions =
    HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET | HTML_PARSE_RECOVER;

bool NameIs(const xmlNode* node, const char* name) {
  return node->type == XML_ELEMENT_NODE &&
         LibXml().xmlStrcasecmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

std::string Attribute(const xmlNode* node, const char* name) {
  for (const xmlAttr* attribute = node->properties; attribute != nullptr;
       attribute = attribute->next) {
    if (LibXml().xmlStrcasecmp(attribute->name, reinterpret_cast<const xmlChar*>(name)) != 0)
      continue;
    const std::unique_ptr<xmlChar, TextDeleter> value(
        LibXml().xmlNodeListGetString(attribute->doc, attribute->children, 1));
    return value ? reinterpret_cast<const char*>(value.get()) : "";
  }
  return {};
}

const xmlNode* FindObject(const xmlNode* node) {
  for (; node != nullptr; node = node->next) {
    if (NameIs(node, "object")) return node;
    if (const xmlNode* found = FindObject(node->children)) return found;
  }
  return nullptr;
}

// <param> elements anywhere inside the object: pages wrap them in other elements, and the
// HTML parser may nest them oddly.
void CollectParams(const xmlNode* node, PageParams& params) {
  for (; node != nullptr; node = node->next) {
    if (NameIs(node, "object")) continue;  // a nested object has parameters of its own
    if (NameIs(node, "param")) {
      params.emplace_back(Attribute(node, "name"), Attribute(node, "value"));
    }
    CollectParams(node->children, params);
  }
}

struct ContextDeleter {
  void operator()(htmlParserCtxt* context) const { LibXml().htmlFreeParserCtxt(context); }
};

// libxml2's messages during one parse, kept instead of printed to stderr. Only the ones that
// mean the page was not read whole are kept: a sloppy page's other complaints (unknown tags,
// stray end tags) are what every browser reads past.
class ParserMessages {
 public:
  ParserMessages() {
    LibXml().xmlSetStructuredErrorFunc(this, &ParserMessages::Keep);
    LibXml().xmlSetGenericErrorFunc(this, &ParserMessages::Drop);
  }
  ~ParserMessages() {
    LibXml().xmlSetStructuredErrorFunc(nullptr, nullptr);
    LibXml().xmlSetGenericErrorFunc(nullptr, nullptr);
  }
  ParserMessages(const ParserMessages&) = delete;
  ParserMessages& operator=(const ParserMessages&) = delete;

  // The first message saying that bytes could not be decoded, empty when there was none.
  const std::string& EncodingFault() const { return encodingFault_; }

 private:
  static void Keep(void* self, xmlErrorPtr error) {
    auto& messages = *static_cast<ParserMessages*>(self);
    const bool decoding = error->domain == XML_FROM_I18N ||
                          error->code == XML_ERR_INVALID_ENCODING || error->code == XML_IO_ENCODER;
    if (!decoding || !messages.encodingFault_.empty() || error->message == nullptr) return;
    messages.encodingFault_ = TrimRight(error->message);
  }
  static void Drop(void*, const char*, ...) {}

  static std::string TrimRight(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
  }

  std::string encodingFault_;
};

struct Parsed {
  Document document;
  // Why the page was not read whole, naming the line where reading stopped; empty when it was.
  std::string fault;
};

Parsed Parse(std::string_view html, const std::string& source, const char* encoding) {
  const std::unique_ptr<htmlParserCtxt, ContextDeleter> context(LibXml().htmlNewParserCtxt());
  if (!context) throw std::bad_alloc();
  const ParserMessages messages;
  Parsed parsed{Document(LibXml().htmlCtxtReadMemory(context.get(), html.data(),
                                                     static_cast<int>(html.size()), source.c_str(),
                                                     encoding, kParseOptions)),
                {}};
  const xmlParserInput* input = context->input;
  // The parser ends at a NUL as at the end of the text, and at bytes it cannot decode.
  const bool stoppedEarly = input != nullptr && input->cur != nullptr && input->cur < input->end;
  if (messages.EncodingFault().empty() && !stoppedEarly) return parsed;
  const std::string line = input != nullptr ? ToDecimal(input->line) : "?";
  std::string reason;
  if (!messages.EncodingFault().empty()) {
    const xmlDoc* document = parsed.document.get();
    const char* name = document != nullptr && document->encoding != nullptr
                           ? reinterpret_cast<const char*>(document->encoding)
                           : encoding;
    reason = "bytes that are not " + std::string(name != nullptr ? name : "UTF-8") + " (" +
             messages.EncodingFault() + ")";
  } else {
    reason = *input->cur == 0 ? "a NUL byte" : "text the parser stopped at";
  }
  parsed.fault = source + ": line " + line + ": " + reason + "; the page cannot be read whole";
  return parsed;
}

// A <meta> element that names a charset, either way HTML allows.
bool DeclaresCharset(const xmlNode* node) {
  for (; node != nullptr; node = node->next) {
    if (NameIs(node, "meta")) {
      const std::string content = ToUpperAscii(Attribute(node, "content"));
      if (!Attribute(node, "charset").empty() || Contains(content, "CHARSET=")) return true;
    }
    if (DeclaresCharset(node->children)) return true;
  }
  return false;
}

}  // namespace

PageParams ReadPageParams(std::string_view html, std::string_view sourceName) {
  const std::string source(sourceName);
  if (html.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw PageError(source + ": the page is too large");
  }
  // Without an encoding the parser follows the page's own <meta> declaration.
  Parsed parsed = Parse(html, source, nullptr);
  if (parsed.document && !DeclaresCharset(LibXml().xmlDocGetRootElement(parsed.document.get()))) {
    parsed.document.reset();  // before the second is built: a large page's tree is large
    parsed = Parse(html, source, IsValidUtf8(html) ? "UTF-8" : "CP949");
  }
  // Half a page would drop the parameters after the fault, such as the excluded extensions.
  if (!parsed.fault.empty()) throw PageError(parsed.fault);
  if (!parsed.document) throw PageError(source + ": not a readable HTML page");
  const xmlNode* object = FindObject(LibXml().xmlDocGetRootElement(parsed.document.get()));
  if (object == nullptr) throw PageError(source + ": the page has no <object> element");
  PageParams params;
  CollectParams(object->children, params);
  return params;
}

PageParams ReadPageParamsFromFile(const std::string& path) {
  return ReadPageParamsFromFile(std::filesystem::path(path), path);
}

PageParams ReadPageParamsFromFile(const std::filesystem::path& path, const std::string& shownName) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    throw PageError(shownName + ": no such page (a plain file is needed)");
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) throw PageError(shownName + ": cannot read the page");
  // Read into one string of the file's size: a stream buffer and its copy would hold the
  // page twice more.
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > static_cast<std::uintmax_t>(std::numeric_limits<int>::max())) {
    throw PageError(shownName + (error ? ": cannot read the page" : ": the page is too large"));
  }
  std::string content(static_cast<std::size_t>(size), '\0');
  file.read(content.data(), static_cast<std::streamsize>(content.size()));
  // Fewer bytes, or more after them: the page changed while it was read.
  if (file.bad() || static_cast<std::size_t>(file.gcount()) != content.size() ||
      file.peek() != std::ifstream::traits_type::eof()) {
    throw PageError(shownName + ": cannot read the page");
  }
  return ReadPageParams(content, shownName);
}

}  // namespace veldrask::host
