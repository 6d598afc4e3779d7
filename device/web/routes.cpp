#include "web/routes.h"

#include <httplib.h>

#include <memory>

#include "web/device_host.h"
#include "web/request_limits.h"
#include "web/web_session.h"

namespace sim::web {

namespace {

using httplib::Request;
using httplib::Response;

constexpr std::size_t kMaxFormBytes = 64 * 1024;
constexpr std::size_t kMaxScriptBytes = 256 * 1024;
constexpr std::chrono::seconds kHeartbeat{15};

void Send(Response& response, const Answer& answer) {
  response.status = answer.status;
  response.set_header("Cache-Control", "no-store");
  response.set_content(answer.body, answer.contentType.c_str());
}

std::optional<POINT> PointOf(const Request& request) {
  auto x = RequestNumber(request.get_param_value("x"), 0, 4096);
  auto y = RequestNumber(request.get_param_value("y"), 0, 4096);
  if (!x || !y) return std::nullopt;
  return POINT{static_cast<LONG>(*x), static_cast<LONG>(*y)};
}

std::optional<Gesture> GestureOf(const std::string& name) {
  if (name == "tap" || name.empty()) return Gesture::Tap;
  if (name == "double") return Gesture::DoubleTap;
  if (name == "hold") return Gesture::Hold;
  return std::nullopt;
}

// A route that acts on the handheld: `act` checks the request and hands the
// work to the device host; a refused form never reaches the device.
template <class Act>
void Post(httplib::Server& server, const char* path, DeviceHost& host, Act act) {
  server.Post(path, [&host, act](const Request& request, Response& response) {
    if (request.body.size() > kMaxFormBytes) return Send(response, Refused(413, "the request is too large"));
    Send(response, act(request, host));
  });
}

void AddEvents(httplib::Server& server, DeviceHost& host) {
  server.Get("/events", [&host](const Request&, Response& response) {
    auto seen = std::make_shared<std::pair<std::uint64_t, std::uint64_t>>(0, 0);
    response.set_header("Cache-Control", "no-store");
    response.set_chunked_content_provider("text/event-stream", [&host, seen](std::size_t, httplib::DataSink& sink) {
      FeedSnapshot news = host.feed().waitForNews(seen->first, seen->second, kHeartbeat);
      if (news.closed || !sink.is_writable()) {
        sink.done();
        return false;
      }
      std::string out;
      // A frame is the number of inputs it shows the effect of, then the PNG.
      if (news.frameSeq > seen->first)
        out += "event: frame\ndata: " + std::to_string(news.frameInputs) + " " + news.frame + "\n\n";
      if (news.stateSeq > seen->second) out += "event: state\ndata: " + news.state + "\n\n";
      if (out.empty()) out = ": still here\n\n";
      *seen = {news.frameSeq, news.stateSeq};
      return sink.write(out.data(), out.size());
    });
  });
}

void AddHands(httplib::Server& server, DeviceHost& host) {
  Post(server, "/api/stylus", host, [](const Request& request, DeviceHost& host) {
    auto at = PointOf(request);
    auto gesture = GestureOf(request.get_param_value("gesture"));
    if (!at || !gesture) return Refused(400, "a stylus needs x, y and a gesture (tap, double or hold)");
    return host.run([&](WebSession& session) { return session.stylus(*at, *gesture); });
  });
  Post(server, "/api/key", host, [](const Request& request, DeviceHost& host) {
    std::string name = request.get_param_value("name");
    if (name.empty() || name.size() > 32) return Refused(400, "a key needs its name");
    return host.run([&](WebSession& session) { return session.key(name); });
  });
  Post(server, "/api/text", host, [](const Request& request, DeviceHost& host) {
    std::string text = request.get_param_value("text");
    return host.run([&](WebSession& session) { return session.text(text); });
  });
  Post(server, "/api/sip", host, [](const Request& request, DeviceHost& host) {
    std::string on = request.get_param_value("on");
    if (on != "1" && on != "0") return Refused(400, "the input panel is on=1 or on=0");
    return host.run([&](WebSession& session) { return session.inputPanel(on == "1"); });
  });
  Post(server, "/api/open", host, [](const Request& request, DeviceHost& host) {
    std::string path = request.get_param_value("path");
    return host.run([&](WebSession& session) { return session.open(path); });
  });
  server.Get("/api/what", [&host](const Request& request, Response& response) {
    auto at = PointOf(request);
    if (!at) return Send(response, Refused(400, "x and y are screen pixels"));
    Send(response, host.run([&](WebSession& session) { return session.whatIsAt(*at); }));
  });
  server.Get("/api/start-menu", [&host](const Request&, Response& response) {
    Send(response, host.run([](WebSession& session) { return session.startMenu(); }));
  });
}

void AddTimeAndRecording(httplib::Server& server, DeviceHost& host) {
  Post(server, "/api/clock", host, [](const Request& request, DeviceHost& host) {
    std::string action = request.get_param_value("action");
    std::optional<long> ms = 0;
    if (request.has_param("ms")) ms = RequestNumber(request.get_param_value("ms"), 1, 24L * 3600 * 1000);
    if (!ms) return Refused(400, "ms is a whole number of milliseconds, 1 to a day");
    std::uint64_t now = host.realNow();
    return host.run([&](WebSession& session) { return session.clockControl(action, *ms, now); });
  });
  Post(server, "/api/recording", host, [](const Request& request, DeviceHost& host) {
    std::string on = request.get_param_value("on");
    if (on != "1" && on != "0") return Refused(400, "recording is on=1 or on=0");
    return host.run([&](WebSession& session) { return session.setRecording(on == "1"); });
  });
  Post(server, "/api/recording/clear", host, [](const Request&, DeviceHost& host) {
    return host.run([](WebSession& session) { return session.clearRecording(); });
  });
  server.Get("/api/recording.scn", [&host](const Request&, Response& response) {
    std::string script = host.run([](WebSession& session) { return session.recordedScript(); });
    response.set_header("Content-Disposition", "attachment; filename=\"recorded.scn\"");
    Send(response, Answer{200, script, "text/plain; charset=utf-8"});
  });
  Post(server, "/api/expect", host, [](const Request& request, DeviceHost& host) {
    std::string what = request.get_param_value("what");
    std::string path = request.get_param_value("path");
    std::optional<POINT> at = request.has_param("x") ? PointOf(request) : std::nullopt;
    if (request.has_param("x") && !at) return Refused(400, "x and y are screen pixels");
    return host.run([&](WebSession& session) { return session.expect(what, at, path); });
  });
}

void AddScriptAndFiles(httplib::Server& server, DeviceHost& host) {
  server.Post("/api/script", [&host](const Request& request, Response& response) {
    if (request.body.size() > kMaxScriptBytes) return Send(response, Refused(413, "the script is over 256 KiB"));
    std::string text = request.body;
    Send(response, host.run([&](WebSession& session) { return session.openScript(text); }));
  });
  Post(server, "/api/script/step", host, [](const Request&, DeviceHost& host) {
    return host.run([](WebSession& session) { return session.stepScript(); });
  });
  server.Get("/api/files", [&host](const Request& request, Response& response) {
    std::string path = request.get_param_value("path");
    Send(response, host.run([&](WebSession& session) { return session.listFolder(path); }));
  });
  server.Get("/api/file", [&host](const Request& request, Response& response) {
    std::string path = request.get_param_value("path");
    Answer answer = host.run([&](WebSession& session) { return session.readFile(path); });
    if (answer.status == 200) response.set_header("Content-Disposition", "attachment");
    Send(response, answer);
  });
  server.Put("/api/file", [&host](const Request& request, Response& response) {
    std::string path = request.get_param_value("path");
    Send(response, host.run([&](WebSession& session) { return session.writeFile(path, request.body); }));
  });
}

}  // namespace

void AddRoutes(httplib::Server& server, DeviceHost& host) {
  AddEvents(server, host);
  AddHands(server, host);
  AddTimeAndRecording(server, host);
  AddScriptAndFiles(server, host);
}

}  // namespace sim::web
