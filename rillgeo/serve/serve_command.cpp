#include "rillgeo/serve/serve_command.h"

#include <httplib.h>
#include <pthread.h>

#include <csignal>
#include <thread>

#include "rillgeo/geometry/flowline_lines.h"
#include "rillgeo/geometry/id_map.h"
#include "rillgeo/geometry/table_folder.h"
#include "rillgeo/geometry/vector_source.h"

namespace rill::geo {

Status RunServe(const ServeOptions& options, const ServeLog& log) {
  // Ctrl-C and SIGTERM are taken by one thread with sigwait, which stops the
  // server: blocked before any thread starts, so that every thread inherits it.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  const StatusOr<NetworkTables> tables = LoadTableFolder(options.tables);
  if (!tables.ok()) return tables.status();
  const StatusOr<IdMap> ids = IdMap::ReadFromFolder(options.tables);
  if (!ids.ok()) return ids.status();
  StatusOr<VectorSource> source = VectorSource::Open(options.geometry, options.layer);
  if (!source.ok()) return source.status();
  const StatusOr<FlowlineLines> lines = FlowlineLines::Read(*source);
  if (!lines.ok()) return lines.status();

  httplib::Server server;
  if (!server.bind_to_port(options.bind, options.port)) {
    return Status(Fault::Failed, "cannot listen on " + options.bind + ":" + std::to_string(options.port));
  }
  std::thread watcher([&] {
    int signal = 0;
    sigwait(&signals, &signal);
    server.stop();
  });
  log("listening on http://" + options.bind + ":" + std::to_string(options.port) + "/");
  server.listen_after_bind();
  pthread_kill(watcher.native_handle(), SIGTERM);
  watcher.join();
  log("stopped");
  return Status::Ok();
}

}  // namespace rill::geo
