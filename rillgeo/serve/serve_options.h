// The options of rillgeo serve and their help, declared in one place.
#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}  // namespace CLI

namespace rill::geo {

struct ServeOptions {
  std::string tables;
  std::vector<std::string> geometry;  // read one after the other, as import reads several sources
  std::string layer;
  std::vector<std::string> features;  // NAME=SITES, each a site table under its source name
  int port = 8080;
  std::string bind = "127.0.0.1";
  double timeout = 30.0;  // seconds a request may run before it is answered 503
  int threads = 0;        // 0: one per core, at least 2
  double radius = 200.0;  // default snap radius of position and hydrolocation, in metres
};

// Declares the command and its options, with their help, on `app`; they
// fill `options`, which must outlive the parse.
CLI::App* AddServeCommand(CLI::App& app, ServeOptions& options);

}  // namespace rill::geo
