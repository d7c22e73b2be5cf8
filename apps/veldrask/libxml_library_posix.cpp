#include "libxml_library.h"
#include "posix/shared_library.h"

namespace veldrask::host {
namespace {

LibXmlLibrary Load() {
  // The soname of the ABI the headers describe.
  const posix::SharedLibrary shared("libxml2.so.2", "HTML 페이지를 읽는 데");
  LibXmlLibrary library{};
#define VELDRASK_LIBXML_FIND(name) shared.Find(library.name, #name);
  VELDRASK_LIBXML_FUNCTIONS(VELDRASK_LIBXML_FIND)
#undef VELDRASK_LIBXML_FIND
  shared.Find(library.xmlFree, "xmlFree");
  return library;
}

}  // namespace

const LibXmlLibrary& LibXml() {
  static const LibXmlLibrary library = Load();
  return library;
}

}  // namespace veldrask::host
