#include "win32/com/reference_ledger.h"

#ifdef VELDRASK_REFERENCE_LEDGER

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

#include "win32/com/win32_headers.h"

namespace veldrask::com::ledger {
namespace {

struct Entry {
  const char* kind;
  long references = 1;
  long addRefs = 0;
  long releases = 0;
};

struct Book {
  std::mutex mutex;
  std::map<const void*, Entry> alive;
};

// Never destroyed: objects may still report while the runtime tears statics down.
Book& TheBook() {
  static Book* book = new Book;
  return *book;
}

// A kind is its class's type name as the compiler mangled it; reports give it as written.
std::string KindName(const char* kind) {
  int status = 0;
  char* readable = abi::__cxa_demangle(kind, nullptr, nullptr, &status);
  std::string name = status == 0 ? readable : kind;
  std::free(readable);
  return name;
}

std::string Describe(const void* object, const Entry& entry) {
  char line[160];
  std::snprintf(line, sizeof line, " %p: %ld references (%ld AddRef, %ld Release)", object,
                entry.references, entry.addRefs, entry.releases);
  return KindName(entry.kind) + line;
}

[[noreturn]] void Fail(const std::string& what) {
  const std::string text = "VeldraskUploader reference ledger: " + what + "\n";
  std::fputs(text.c_str(), stderr);
  std::fflush(stderr);
  OutputDebugStringA(text.c_str());
  // Also from inside the loader's unload: nothing further of the process may run.
  TerminateProcess(GetCurrentProcess(), 70);
  __builtin_trap();
}

}  // namespace

void Born(const void* object, const char* kind) {
  Book& book = TheBook();
  const std::lock_guard lock(book.mutex);
  book.alive.insert_or_assign(object, Entry{kind});
}

void Counted(const void* object, int change) {
  Book& book = TheBook();
  const std::lock_guard lock(book.mutex);
  const auto found = book.alive.find(object);
  if (found == book.alive.end()) Fail("a reference counted on an object that is gone");
  Entry& entry = found->second;
  entry.references += change;
  (change > 0 ? entry.addRefs : entry.releases) += 1;
  if (entry.references < 0) Fail("released more often than referenced: " + Describe(object, entry));
}

void Died(const void* object) {
  Book& book = TheBook();
  const std::lock_guard lock(book.mutex);
  const auto found = book.alive.find(object);
  if (found == book.alive.end()) Fail("an object deleted twice");
  if (found->second.references != 0) {
    Fail("deleted while referenced: " + Describe(object, found->second));
  }
  book.alive.erase(found);
}

void CheckNoneAlive(const char* when) {
  Book& book = TheBook();
  const std::lock_guard lock(book.mutex);
  if (book.alive.empty()) return;
  std::string report = std::to_string(book.alive.size()) + " object(s) alive " + when + ":";
  for (const auto& [object, entry] : book.alive) report += "\n  " + Describe(object, entry);
  Fail(report);
}

}  // namespace veldrask::com::ledger

#endif
