#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veldrask::host {

using PageParams = std::vector<std::pair<std::string, std::string>>;

// A page that cannot serve as the control's page: unreadable, or without an <object>.
class PageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The name/value pairs of the <param> elements of the first <object> element of an HTML
// page, in document order, as UTF-8. The page's declared charset is honoured; a page that
// declares none is read as UTF-8 when it is valid UTF-8 and as EUC-KR (CP949) otherwise, as
// legacy Korean pages are written. Raises PageError naming sourceName when the page has no
// <object> element, and naming also the line when the page cannot be read whole (bytes
// that are not in its charset, a NUL): the parameters after it would be lost unseen. The
// parser prints nothing; what it says of such a page is in the error's text.
PageParams ReadPageParams(std::string_view html, std::string_view sourceName);

// Reads the page from a file; PageError when it cannot be read.
PageParams ReadPageParamsFromFile(const std::string& path);
// The same for a file that messages name as shownName (the argument as the user gave it).
PageParams ReadPageParamsFromFile(const std::filesystem::path& file, const std::string& shownName);

}  // namespace veldrask::host
