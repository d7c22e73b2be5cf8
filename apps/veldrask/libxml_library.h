#pragma once

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

namespace veldrask::host {

// The libxml2 functions the page reader calls.
#define VELDRASK_LIBXML_FUNCTIONS(X) \
  X(htmlCtxtReadMemory)              \
  X(htmlFreeParserCtxt)              \
  X(htmlNewParserCtxt)               \
  X(xmlDocGetRootElement)            \
  X(xmlFreeDoc)                      \
  X(xmlNodeListGetString)            \
  X(xmlSetGenericErrorFunc)          \
  X(xmlSetStructuredErrorFunc)       \
  X(xmlStrcasecmp)

// libxml2 for reading pages. The POSIX host loads it when the first page is read, so a
// transfer without a page never maps it with ICU, liblzma and zlib, nor pays at start for
// relocating them (about 2 ms); the Windows host links it statically.
struct LibXmlLibrary {
#define VELDRASK_LIBXML_MEMBER(name) decltype(&::name) name;
  VELDRASK_LIBXML_FUNCTIONS(VELDRASK_LIBXML_MEMBER)
#undef VELDRASK_LIBXML_MEMBER
  // The deallocator of what the library returns: a variable holding a function.
  decltype(&::xmlFree) xmlFree;
};

// The library, loaded by the first call where it is loaded; raises std::runtime_error, saying
// what is missing, when it cannot be.
const LibXmlLibrary& LibXml();

}  // namespace veldrask::host
