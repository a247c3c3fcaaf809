#include "rillgeo/serve/page/page_routes.h"

#include <httplib.h>

namespace rill::geo {

void AddPageRoutes(httplib::Server& server, const PageSources& sources) {
  (void)server;
  (void)sources;
}

}  // namespace rill::geo
