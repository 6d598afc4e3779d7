// The server's routes: the page's event stream and the requests that act on the
// handheld, look at it, or move files on and off it.
#pragma once

namespace httplib {
class Server;
}

namespace sim::web {

class DeviceHost;

void AddRoutes(httplib::Server& server, DeviceHost& host);

}  // namespace sim::web
