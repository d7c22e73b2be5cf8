// Where a redirect's Location leads, and the ones that are not followed.
#include "download/redirect.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

namespace veldrask {
namespace {

TEST(RedirectTest, LocationsLeadWhereABrowserGoesButNeverDownToPlainHttp) {
  const auto place = [](Transport transport, std::int32_t port, std::string target) {
    FetchPlace made;
    made.server.transport = transport;
    made.server.host = "files.example";
    made.port = port;
    made.target = std::move(target);
    return made;
  };
  const FetchPlace plain = place(Transport::kPlain, 8080, "/board/list.php?page=2");
  const FetchPlace secure = place(Transport::kTls, 443, "/a/b.txt");
  const struct {
    const FetchPlace& from;
    std::string location;
    std::string leads;  // the place, or the start of why not
  } cases[] = {
      {plain, "/files/a.txt", "http://files.example:8080/files/a.txt"},
      {plain, "a.txt#part", "http://files.example:8080/board/a.txt"},
      {plain, "http://other.example/x?y=1", "http://other.example/x?y=1"},
      {plain, "HTTPS://other.example:8443", "https://other.example:8443/"},
      {plain, "http://[::1]:81/x", "http://[::1]:81/x"},
      {secure, "https://files.example/c.txt", "https://files.example/c.txt"},
      {secure, "http://files.example/c.txt", "a redirect from HTTPS to plain HTTP"},
      {plain, "http://kim:pw@other.example/", "a Location with credentials"},
      {plain, "http://other.example:99999/", "the Location's port '99999'"},
      {plain, "http:///x", "the Location names no host"},
      {plain, "/x\r\nSet-Cookie: a=b", "the Location holds a control character"},
      {plain, "", "the redirect names no Location"},
  };
  for (const auto& c : cases) {
    const auto next = FollowLocation(c.from, c.location);
    const std::string said = std::holds_alternative<FetchPlace>(next)
                                 ? PlaceText(std::get<FetchPlace>(next))
                                 : std::get<std::string>(next);
    EXPECT_TRUE(said.starts_with(c.leads)) << c.location << " -> " << said;
  }
}

}  // namespace
}  // namespace veldrask
