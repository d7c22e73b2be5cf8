#pragma once

#include <stdexcept>
#include <string>

namespace veldrask::posix {

// A library or one of its functions that could not be had; the text says what needed it.
class LibraryUnloadable : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A library opened by its soname for functions looked up by name, kept open for the whole
// process: what it sets up at load stays valid, and its functions may be called at exit.
class SharedLibrary {
 public:
  // neededFor completes "... 필요한 <soname>을(를) 불러올 수 없습니다", e.g. "보안 연결(TLS)에".
  // Raises LibraryUnloadable when the library cannot be loaded.
  SharedLibrary(const char* soname, std::string neededFor);

  // Sets function to the library's function of that name; LibraryUnloadable when it has none.
  template <typename Function>
  void Find(Function& function, const char* name) const {
    function = reinterpret_cast<Function>(Symbol(name));
  }

 private:
  void* Symbol(const char* name) const;
  [[noreturn]] void RaiseUnloadable() const;

  std::string soname_;
  std::string neededFor_;
  void* handle_;
};

}  // namespace veldrask::posix
