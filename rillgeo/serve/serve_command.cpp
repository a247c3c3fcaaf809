#include "rillgeo/serve/serve_command.h"

#include <httplib.h>
#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <thread>

#include "rillgeo/serve/linked_data_routes.h"
#include "rillgeo/serve/request_pool.h"
#include "rillgeo/serve/served_network.h"
#ifdef RILL_SERVE_PAGE
#include "rillgeo/serve/page/page_routes.h"
#endif

namespace rill::geo {

Status RunServe(const ServeOptions& options, const ServeLog& log) {
  // Ctrl-C and SIGTERM are taken by one thread with sigwait, which stops the
  // server: blocked before any thread starts, so that every thread inherits it.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  StatusOr<std::unique_ptr<ServedNetwork>> loaded =
      ServedNetwork::Load(options.tables, options.geometry, options.layer, options.features);
  if (!loaded.ok()) return loaded.status();
  const ServedNetwork& network = **loaded;
  std::string summary = std::to_string(network.tables().reaches().size()) + " reaches, " +
                        std::to_string(network.lines().all().size()) + " flowlines";
  for (const SiteSource& s : network.sources()) {
    summary += ", " + s.name + ": " + std::to_string(s.placed->placed()) + " sites placed";
    if (s.placed->skipped() > 0) summary += " (" + std::to_string(s.placed->skipped()) + " skipped)";
  }
  log("loaded " + summary);

  const std::size_t threads = options.threads > 0 ? static_cast<std::size_t>(options.threads)
                                                  : std::max<std::size_t>(8, std::thread::hardware_concurrency());
  httplib::Server server;
  BoundServer(server, threads);

  WorkerStates workers;
  LinkedDataLimits limits;
  limits.timeout = std::chrono::milliseconds(static_cast<std::int64_t>(options.timeout * 1000.0));
  limits.radius = options.radius;
  limits.fallbackHost = options.bind + ":" + std::to_string(options.port);
  AddLinkedDataRoutes(server, network, workers, limits);
#ifdef RILL_SERVE_PAGE
  PageSources page;
  page.tables = &network.tables();
  page.ids = &network.ids();
  page.lines = &network.lines();
  for (const SiteSource& s : network.sources()) page.siteSources.push_back(s.name);
  AddPageRoutes(server, page);
#endif

  if (!server.bind_to_port(options.bind, options.port)) {
    return Status(Fault::Failed, "cannot listen on " + options.bind + ":" + std::to_string(options.port));
  }
  std::atomic<bool> finished{false};
  std::thread watcher([&] {
    int signal = 0;
    if (sigwait(&signals, &signal) != 0 || finished.load()) return;
    // A signal that came while the sources were loading stops the server
    // once it listens.
    while (!server.is_running() && !finished.load()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    server.stop();
  });
  log("listening on http://" + limits.fallbackHost + "/ (" + std::to_string(threads) + " threads)");
  const bool listened = server.listen_after_bind();
  finished.store(true);
  pthread_kill(watcher.native_handle(), SIGTERM);
  watcher.join();
  if (!listened && server.is_running()) return Status(Fault::Failed, "the service stopped listening");
  log("stopped");
  return Status::Ok();
}

}  // namespace rill::geo
