// The oswego network loaded once for the service's tests, with a site
// table of a few gauges, and the service on a loopback port of its own.
#pragma once

#include <gtest/gtest.h>
#include <httplib.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>

#include "rillgeo/geometry/vector_source.h"
#include "rillgeo/serve/linked_data_routes.h"
#include "rillgeo/serve/served_network.h"
#include "tests/support/files.h"

namespace rill::testing {

// SR-01 and CO-01 where rillgeo index snaps them (CO-01 99 km up the river
// from SR-01); BAD on no reach of the tables; TOP without a measure.
inline constexpr const char* kGauges =
    "Feature,Com_id,Measure,name,ReachCode,ReachMeasure\n"
    "SR-01,21975007,40.14035584033996,Seneca River gauge,04140201000002,50.0030993891559\n"
    "CO-01,21974293,77.58773954007052,Canandaigua Outlet,04140201000130,79.96999921745967\n"
    "BAD,1,50,nowhere,,\n"
    "TOP,21975007,,whole reach,,\n";

class ServeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const fs::path data = fs::path(RILL_DATA_DIR) / "oswego";
    if (!fs::exists(data / "raw" / "flowlines.gpkg")) return;
    geo::StartGdal();
    folder_ = new ScratchDir("serve-test");
    WriteAll(folder_->path() / "gauges.csv", kGauges);
    auto loaded = geo::ServedNetwork::Load(data.string(), {(data / "raw" / "flowlines.gpkg").string()}, "",
                                           {"gauges=" + (folder_->path() / "gauges.csv").string()});
    ASSERT_TRUE(loaded.ok()) << loaded.status().message();
    network_ = std::move(*loaded).release();
  }
  static void TearDownTestSuite() {
    delete network_;
    network_ = nullptr;
    delete folder_;
    folder_ = nullptr;
  }
  void SetUp() override {
    if (network_ == nullptr) GTEST_SKIP() << "the oswego network of ../shared/data is not there";
  }

  // The answer to GET `target` (path and query, as a client sends it).
  static geo::RouteAnswer Get(const std::string& target,
                              std::chrono::milliseconds timeout = std::chrono::milliseconds(30000)) {
    geo::LinkedDataAsk ask;
    const std::size_t q = target.find('?');
    ask.path = target.substr(0, q);
    if (q != std::string::npos) httplib::detail::parse_query_text(target.substr(q + 1), ask.params);
    ask.base = "http://test";
    ask.deadline = std::chrono::steady_clock::now() + timeout;
    static geo::WorkerStates workers;
    geo::WorkerStates::Lease worker = workers.Take();
    return geo::AnswerLinkedData(*network_, *worker, ask);
  }
  static nlohmann::json Body(const geo::RouteAnswer& answer) { return nlohmann::json::parse(answer.body); }

  static const geo::ServedNetwork& network() { return *network_; }

 private:
  static inline geo::ServedNetwork* network_ = nullptr;
  static inline ScratchDir* folder_ = nullptr;
};

// The service on a loopback port, answering on threads of its own.
class LoopbackService {
 public:
  LoopbackService(const geo::ServedNetwork& network, std::chrono::milliseconds timeout) {
    geo::LinkedDataLimits limits;
    limits.timeout = timeout;
    geo::BoundServer(server_, 8);
    port_ = server_.bind_to_any_port("127.0.0.1");
    limits.fallbackHost = "127.0.0.1:" + std::to_string(port_);
    geo::AddLinkedDataRoutes(server_, network, workers_, limits);
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~LoopbackService() {
    server_.stop();
    thread_.join();
  }
  int port() const { return port_; }

 private:
  httplib::Server server_;
  geo::WorkerStates workers_;
  int port_ = 0;
  std::thread thread_;
};

}  // namespace rill::testing
