#include "libxml_library.h"

namespace veldrask::host {

// veldrask.exe links libxml2 statically: the table is the linked functions themselves.
const LibXmlLibrary& LibXml() {
  static const LibXmlLibrary library{
#define VELDRASK_LIBXML_ADDRESS(name) &::name,
      VELDRASK_LIBXML_FUNCTIONS(VELDRASK_LIBXML_ADDRESS)
#undef VELDRASK_LIBXML_ADDRESS
      & ::xmlFree};
  return library;
}

}  // namespace veldrask::host
