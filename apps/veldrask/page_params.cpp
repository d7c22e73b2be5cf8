#include "page_params.h"

#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>

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

Document Parse(std::string_view html, const std::string& source, const char* encoding) {
  return Document(LibXml().htmlReadMemory(html.data(), static_cast<int>(html.size()),
                                          source.c_str(), encoding, kParseOptions));
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
  Document document = Parse(html, source, nullptr);
  if (document && !DeclaresCharset(LibXml().xmlDocGetRootElement(document.get()))) {
    document = Parse(html, source, IsValidUtf8(html) ? "UTF-8" : "CP949");
  }
  if (!document) throw PageError(source + ": not a readable HTML page");
  const xmlNode* object = FindObject(LibXml().xmlDocGetRootElement(document.get()));
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
  std::ostringstream content;
  content << file.rdbuf();
  if (file.bad()) throw PageError(shownName + ": cannot read the page");
  return ReadPageParams(content.str(), shownName);
}

}  // namespace veldrask::host
