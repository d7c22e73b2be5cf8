#pragma once

// The texts of the upload queue's message boxes.

#include <cstdint>
#include <string>
#include <string_view>

#include "base/error.h"
#include "base/number_format.h"

namespace veldrask {

// The queue already holds maxFileCount files.
std::string CountMessage(std::int16_t maxFileCount);
// The path's extension is on the page's refused list.
std::string ExtensionMessage(std::string_view path);
// The file would take the queue past maxFileSize megabytes.
std::string TotalMessage(std::int32_t maxFileSize, const NumberStyle& numbers);
// The file has unitFileSize megabytes or more.
std::string PerFileMessage(std::string_view path, std::int32_t unitFileSize,
                           const NumberStyle& numbers);

// The file's size could not be read (it is gone or unreadable).
std::string UnmeasurableMessage(std::string_view path, const Error& error);
// The file has 2 GB or more, which no 32-bit size can carry.
std::string OversizeMessage(std::string_view path, const NumberStyle& numbers);
// MaxFileSize or UnitFileSize is too large to be counted in bytes.
std::string TotalLimitRangeMessage(std::string_view path, std::int32_t maxFileSize,
                                   const NumberStyle& numbers);
std::string PerFileLimitRangeMessage(std::string_view path, std::int32_t unitFileSize,
                                     const NumberStyle& numbers);
// The queue's file count or byte total would leave its 16- or 32-bit range.
std::string QueueRangeMessage(std::string_view name, const NumberStyle& numbers);

}  // namespace veldrask
