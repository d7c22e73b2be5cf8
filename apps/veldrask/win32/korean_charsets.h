#pragma once

namespace veldrask::host {

// Teaches the page reader's libxml2, built without iconv, the Korean code page under the
// names pages declare it by (EUC-KR, CP949, ...), converting through the system's code page
// 949. Call once before reading a page.
void RegisterKoreanCharsets();

}  // namespace veldrask::host
