#pragma once

#include <string>

#include "base/error.h"

namespace veldrask::win32 {

// The control's error for a failed file operation: the Win32 error code mapped to the numbers
// scripts know, the same ones the POSIX file system gives for the same failures (a file locked
// by another process is "permission denied", as EACCES is).
Error FileError(unsigned long code);

// veldrask::CheckPathName, and "bad file name" too for a name longer than file systems allow.
void CheckPathName(const std::string& path);

// path in the system's form: UTF-16, and past MAX_PATH made absolute and "\\?\"-prefixed, so
// that long paths work as short ones do.
std::wstring SystemPath(const std::string& path);

}  // namespace veldrask::win32
