// The service over loopback: the R client's and a plain-HTTP client's exact
// sequences of calls, many clients at once, hostile requests, the time limit.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>

#include "tests/rillgeo/rillgeo_fixture.h"
#include "tests/rillgeo/serve_fixture.h"

namespace rill::testing {
namespace {

constexpr const char* kOutlet = "21972746";  // the mouth of the oswego network

class ServeLoopbackTest : public ServeTest {
 protected:
  void SetUp() override {
    ServeTest::SetUp();
    if (!IsSkipped()) service_ = std::make_unique<LoopbackService>(network(), std::chrono::milliseconds(30000));
  }
  void TearDown() override { service_.reset(); }

  // GET of a target as a client sends it; the status and the parsed body.
  std::pair<int, nlohmann::json> Fetch(const std::string& target) {
    httplib::Client client("127.0.0.1", service_->port());
    const httplib::Result result = client.Get(target);
    EXPECT_TRUE(result) << target;
    if (!result) return {0, nullptr};
    return {result->status, nlohmann::json::parse(result->body, nullptr, false)};
  }
  std::string Base() const { return "http://127.0.0.1:" + std::to_string(service_->port()) + "/linked-data/"; }

  std::unique_ptr<LoopbackService> service_;
};

// A URL of the service's answers as a path and query on this service.
std::string TargetOf(const std::string& url, const std::string& base) {
  EXPECT_EQ(url.rfind(base, 0), 0u) << url;
  return "/linked-data/" + url.substr(base.size());
}

// The R client's findNLDI, as its code sends it, for
// findNLDI(location = c(-76.2556, 43.16375), nav = c("UM", "DM"),
//          find = c("gauges", "flowlines"), distance_km = 50)
// and the columns it then selects from each answer (without sf, a missing
// property or a null geometry stops it).
TEST_F(ServeLoopbackTest, TheRClientsSequenceGetsTheFlowlinesAndSitesItExpects) {
  const std::string base = Base();  // options(dataRetrieval.nldi_base = base)
  // 1. The location becomes a comid.
  auto [status, position] = Fetch(TargetOf(base + "comid/position?f=json&coords=POINT%28-76.2556%2043.16375%29", base));
  ASSERT_EQ(status, 200);
  for (const char* column : {"sourceName", "identifier", "comid"})
    EXPECT_TRUE(position["features"][0]["properties"].contains(column)) << column;
  const std::string comid = position["features"][0]["properties"]["identifier"];
  EXPECT_EQ(comid, "21975007");
  // 2. The sources, whose features URL begins the origin's URL.
  auto [listed, sources] = Fetch(TargetOf(base, base));
  ASSERT_EQ(listed, 200);
  std::string comidFeatures;
  for (const auto& s : sources) {
    if (s["source"] == "comid") comidFeatures = s["features"];
  }
  const std::string start = comidFeatures + "/" + comid + "/";
  // 3. The origin, then each navigation's finds with the distance.
  auto [originStatus, origin] = Fetch(TargetOf(start, base));
  ASSERT_EQ(originStatus, 200);
  EXPECT_EQ(origin["features"][0]["properties"]["comid"], comid);
  EXPECT_FALSE(origin["features"][0]["geometry"].is_null());
  for (const char* nav : {"UM", "DM"}) {
    for (const char* find : {"gauges", "flowlines"}) {
      const std::string url = start + "navigation/" + nav + "/" + find + "?f=json&distance=50";
      auto [navStatus, found] = Fetch(TargetOf(url, base));
      ASSERT_EQ(navStatus, 200) << url;
      ASSERT_GT(found["features"].size(), 0u) << url;
      EXPECT_FALSE(found["features"][0]["geometry"].is_null()) << url;
      const auto& properties = found["features"][0]["properties"];
      if (std::string(find) == "flowlines") {
        EXPECT_TRUE(properties.contains("nhdplus_comid")) << url;
      } else {
        for (const char* column : {"sourceName", "identifier", "comid", "name", "reachcode", "measure"})
          EXPECT_TRUE(properties.contains(column)) << url << " " << column;
        EXPECT_EQ(found["features"][0]["geometry"]["type"], "Point");
      }
    }
  }
  // findNLDI(origin = list(gauges = "SR-01"), nav = "UT", find = "gauges", distance_km = 100)
  auto [siteStatus, upstream] = Fetch("/linked-data/gauges/SR-01/navigation/UT/gauges?f=json&distance=100");
  ASSERT_EQ(siteStatus, 200);
  EXPECT_EQ(upstream["features"].back()["properties"]["identifier"], "CO-01");
}

// The plain-HTTP calls docs/service.md shows from Python: a snap, then a
// navigation from the snapped point's flowline.
TEST_F(ServeLoopbackTest, ThePlainHttpSequenceNavigatesFromASnappedPoint) {
  auto [status, located] = Fetch("/linked-data/hydrolocation?coords=POINT(-76.2556%2043.16375)");
  ASSERT_EQ(status, 200);
  const std::string comid = located["features"][0]["properties"]["comid"];
  auto [navStatus, down] = Fetch("/linked-data/comid/" + comid + "/navigation/DM/flowlines?distance=10");
  ASSERT_EQ(navStatus, 200);
  EXPECT_NEAR(down["features"].back()["properties"]["travel_km_to"].get<double>(), 10.0, 1e-6);
}

TEST_F(ServeLoopbackTest, ManyClientsAtOnceGetTheAnswersOneClientGets) {
  const auto [status, alone] = Fetch("/linked-data/comid/21975007/navigation/UT/flowlines?distance=50");
  ASSERT_EQ(status, 200);
  std::atomic<int> differing{0};
  std::vector<std::thread> clients;
  for (int c = 0; c < 8; ++c) {
    clients.emplace_back([&] {
      httplib::Client client("127.0.0.1", service_->port());
      for (int i = 0; i < 10; ++i) {
        const auto result = client.Get("/linked-data/comid/21975007/navigation/UT/flowlines?distance=50");
        if (!result || result->status != 200 || nlohmann::json::parse(result->body) != alone) ++differing;
      }
    });
  }
  for (std::thread& t : clients) t.join();
  EXPECT_EQ(differing.load(), 0);
}

// Sends raw bytes on a new connection and reads the answer's head and body
// (the connection may stay open for the next request).
std::string Raw(int port, const std::string& bytes) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string answer;
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    (void)!write(fd, bytes.data(), bytes.size());
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) {
      answer.append(buffer, static_cast<std::size_t>(n));
      const std::size_t head = answer.find("\r\n\r\n");
      const std::size_t length = answer.find("Content-Length: ");
      if (head != std::string::npos && length != std::string::npos &&
          answer.size() >= head + 4 + std::stoul(answer.substr(length + 16))) {
        break;
      }
    }
  }
  close(fd);
  return answer;
}

TEST_F(ServeLoopbackTest, HostileRequestsAreRefusedAndTheServiceGoesOn) {
  const std::string longPath(100000, 'a');
  const std::string manyParams = [] {
    std::string q;
    for (int i = 0; i < 2000; ++i) q += "distance=" + std::to_string(i) + "&";
    return q;
  }();
  struct Hostile {
    std::string request;
    const char* status;  // the status line's code, or "" for a connection simply closed
  };
  const Hostile cases[] = {
      // Past the longest request line the library reads, the connection is
      // answered 414 or reset while the rest is still being sent.
      {"GET /linked-data/" + longPath + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", ""},
      {"GET /linked-data/comid/21975007?" + manyParams.substr(0, 4000) +
           " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n",
       "200"},
      {"GET /linked-data/comid/%00 HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", "400"},
      {"GET /linked-data/comid/%2e%2e%2f%2e%2e%2fetc%2fpasswd HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", "400"},
      {"GET /linked-data/../../etc/passwd HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", "40"},
      {"GET /linked-data/gauges/%zz%ff%c3 HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", "404"},
      {"GET /linked-data/comid/position?coords=POINT(%ff%00%20) HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n",
       "400"},
      {"GET /linked-data HTTP/1.1\r\nHost: evil\"><script>\r\nConnection: close\r\n\r\n", "200"},
      {"GET /linked-data HTTP/1.1\r\nHost: x\r\nX-Long: " + std::string(20000, 'h') + "\r\n\r\n", ""},
      {"POST /linked-data HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Length: 100000000\r\n\r\nabc", "4"},
      {"GET\r\n\r\n", "400"},
      {std::string("\0\1\2\3 garbage\r\n\r\n", 16), "400"},
      {"GET /linked-data/comid/21975007/navigation/DM/flowlines?distance=1e400 HTTP/1.1\r\nHost: x\r\nConnection: "
       "close\r\n\r\n",
       "400"},
  };
  for (const Hostile& h : cases) {
    const std::string answer = Raw(service_->port(), h.request);
    if (*h.status == '\0') continue;
    EXPECT_EQ(answer.rfind(std::string("HTTP/1.1 ") + h.status, 0), 0u)
        << h.request.substr(0, 80) << " -> " << answer.substr(0, 200);
    EXPECT_EQ(answer.find("<script>"), std::string::npos);
  }
  EXPECT_EQ(Fetch("/linked-data").first, 200);
}

TEST_F(ServeLoopbackTest, ANavigationPastTheTimeLimitIsStoppedAndAnswered503) {
  service_.reset();
  service_ = std::make_unique<LoopbackService>(network(), std::chrono::milliseconds(1));
  const auto [status, body] = Fetch(std::string("/linked-data/comid/") + kOutlet + "/navigation/UT/flowlines");
  EXPECT_EQ(status, 503);
  EXPECT_NE(body["description"].get<std::string>().find("--timeout"), std::string::npos);
  EXPECT_EQ(Fetch("/linked-data/comid/21975007").first, 200);  // what takes no walk is answered
}

// The walk itself gives up at its deadline, and walks to its end without one.
TEST_F(ServeTest, AWalkStopsAtItsDeadline) {
  NavigationRequest request;
  request.kind = NavKind::Network;
  request.direction = Direction::Up;
  request.directionText = "U";
  request.startComid = std::stoi(kOutlet);
  TextWriter log = TextWriter::Discarding();
  NavWorkspace workspace;
  const Navigation whole = Navigate(network().tables(), request, log, &workspace);
  EXPECT_FALSE(whole.stopped);
  EXPECT_EQ(whole.rows.size(), network().tables().reaches().size());
  workspace.StopWalksAt(std::chrono::steady_clock::now() - std::chrono::seconds(1));
  const Navigation cut = Navigate(network().tables(), request, log, &workspace);
  EXPECT_TRUE(cut.stopped);
  EXPECT_LT(cut.rows.size(), whole.rows.size());
  workspace.NoDeadline();
  EXPECT_EQ(Navigate(network().tables(), request, log, &workspace).rows.size(), whole.rows.size());
}

}  // namespace
}  // namespace rill::testing

namespace rill::testing {
namespace {

// The program itself: options it cannot use end it with status 2 before it
// listens; Ctrl-C and SIGTERM stop it cleanly, status 0.
class ServeProgramTest : public RillgeoTest {};

TEST_F(ServeProgramTest, UnusableFeaturesEndItWithStatus2) {
  const fs::path data = kData / "oswego";
  if (!fs::exists(data / "raw" / "flowlines.gpkg")) GTEST_SKIP() << "no oswego network";
  WriteAll(Scratch("sites.csv"), kGauges);
  const std::string geometry = (data / "raw" / "flowlines.gpkg").string();
  for (const std::string& features : {std::string("nameonly"), "comid=" + Scratch("sites.csv").string(),
                                      "bad/name=" + Scratch("sites.csv").string()}) {
    const RunOutcome run =
        Rillgeo({"serve", "--tables", data.string(), "--geometry", geometry, "--features", features});
    EXPECT_EQ(run.status, 2) << features << ": " << run.err;
    EXPECT_NE(run.err.find("--features"), std::string::npos) << run.err;
  }
}

TEST_F(ServeProgramTest, ASignalStopsItCleanly) {
  const fs::path data = kData / "oswego";
  if (!fs::exists(data / "raw" / "flowlines.gpkg")) GTEST_SKIP() << "no oswego network";
  for (const int signal : {SIGINT, SIGTERM}) {
    const std::string port = std::to_string(20000 + (getpid() * 7 + signal) % 20000);
    const fs::path log = Scratch("serve" + std::to_string(signal) + ".log");
    const pid_t child = fork();
    if (child == 0) {
      const std::string exe = RILL_RILLGEO_EXE, tables = data.string(),
                        geometry = (data / "raw" / "flowlines.gpkg").string(), err = log.string();
      if (freopen(err.c_str(), "w", stderr) == nullptr) _exit(127);
      execl(exe.c_str(), exe.c_str(), "serve", "--tables", tables.c_str(), "--geometry", geometry.c_str(), "--port",
            port.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 600 && ReadAll(log).find("listening") == std::string::npos; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    httplib::Client client("127.0.0.1", std::stoi(port));
    const auto answer = client.Get("/linked-data");
    EXPECT_TRUE(answer && answer->status == 200) << ReadAll(log);
    kill(child, signal);
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << signal << ": " << ReadAll(log);
    EXPECT_NE(ReadAll(log).find("stopped"), std::string::npos);
  }
}

}  // namespace
}  // namespace rill::testing
