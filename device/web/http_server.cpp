// The server: httplib parses every request; this file only routes them. Each
// request that acts on the handheld becomes work for the device host, which runs
// one at a time; a request that is malformed is answered 4xx before it gets there.
#include "web/http_server.h"

#include <httplib.h>
#include <signal.h>

#include <iostream>
#include <thread>

#include "web/device_host.h"
#include "web/request_limits.h"
#include "web/routes.h"

namespace sim::web {

namespace {

constexpr std::size_t kMaxBodyBytes = 16 * 1024 * 1024;
constexpr int kThreads = 16;

bool Loopback(const std::string& host) { return host == "127.0.0.1" || host == "localhost"; }

void ServeThePage(httplib::Server& server, const std::filesystem::path& page) {
  server.set_file_extension_and_mimetype_mapping("js", "text/javascript");
  server.set_file_extension_and_mimetype_mapping("css", "text/css");
  server.set_file_extension_and_mimetype_mapping("html", "text/html; charset=utf-8");
  server.set_file_extension_and_mimetype_mapping("svg", "image/svg+xml");
  server.set_mount_point("/", page.string());
}

void Guard(httplib::Server& server, DeviceHost& host, RateLimit& limit, const ServeOptions& options, int port) {
  server.set_pre_routing_handler([&host, &limit, &options, port](const httplib::Request& request, httplib::Response& response) {
    if (!limit.admit(host.realNow())) {
      response.status = 429;
      response.set_content("{\"error\":\"too many requests\"}", "application/json");
      return httplib::Server::HandlerResponse::Handled;
    }
    if (!SameSite(request.get_header_value("Host"), request.get_header_value("Origin"), options.host, port)) {
      response.status = 403;
      response.set_content("{\"error\":\"requests come from the page of this server only\"}", "application/json");
      return httplib::Server::HandlerResponse::Handled;
    }
    return httplib::Server::HandlerResponse::Unhandled;
  });
}

// Stops the server on SIGINT or SIGTERM: the signals are taken by a thread of their
// own rather than a handler, which could not stop the server safely.
std::thread StopOnSignal(httplib::Server& server, DeviceHost& host) {
  return std::thread([&server, &host] {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    int received = 0;
    sigwait(&signals, &received);
    // The pages' event streams end first, so that the server's threads can finish.
    host.feed().close();
    server.stop();
  });
}

}  // namespace

int Serve(const ServeOptions& options) {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  if (!Loopback(options.host))
    std::cerr << "handheld: warning: serving on " << options.host
              << ", not only on this computer: anyone who reaches it can use the handheld and its files\n";
  DeviceHost host(options.handheld);
  httplib::Server server;
  server.new_task_queue = [] { return new httplib::ThreadPool(kThreads); };
  server.set_payload_max_length(kMaxBodyBytes);
  server.set_keep_alive_timeout(30);
  // Answers and pictures are small writes that must leave at once: without this the
  // kernel holds a write back until the browser acknowledges the one before.
  server.set_tcp_nodelay(true);
  int port = options.port == 0 ? server.bind_to_any_port(options.host) : options.port;
  if (options.port != 0 && !server.bind_to_port(options.host, options.port)) port = -1;
  if (port < 0) {
    std::cerr << "handheld: cannot listen on " << options.host << ":" << options.port << "\n";
    return 1;
  }
  RateLimit limit(50, 100);
  Guard(server, host, limit, options, port);
  ServeThePage(server, options.page);
  AddRoutes(server, host);
  std::cout << "handheld: serving the handheld on http://" << options.host << ":" << port << "/" << std::endl;
  std::thread stopper = StopOnSignal(server, host);
  server.listen_after_bind();
  pthread_kill(stopper.native_handle(), SIGTERM);
  stopper.join();
  return 0;
}

}  // namespace sim::web
