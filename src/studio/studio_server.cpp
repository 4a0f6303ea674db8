#include "studio/studio_server.h"

#include <httplib.h>

#include <cstdlib>

#include "platform/json_text.h"
#include "studio/request_guard.h"
#include "studio/studio_assets.h"
#include "view/data_url.h"
#include "view/page_assets.h"

namespace mosaiq::studio {

namespace {

// The most bytes a request other than a clip may carry.
constexpr std::size_t most_command_bytes = std::size_t{4} << 20;

const char* const page_policy =
    "default-src 'none'; script-src 'unsafe-inline'; style-src 'unsafe-inline'; "
    "connect-src 'self'; media-src 'self'; img-src 'self' data:";

void answer(httplib::Response& response, int status, const std::string& json) {
  response.status = status;
  response.set_header("Cache-Control", "no-store");
  response.set_content(json, "application/json; charset=utf-8");
}

void refuse(httplib::Response& response, int status, const std::string& problem) {
  answer(response, status, "{\"problem\":" + json_string(problem) + "}");
}

// A field of a form, or of a multipart form.
std::string field(const httplib::Request& request, const std::string& name) {
  if (request.has_param(name.c_str())) return request.get_param_value(name.c_str());
  if (request.has_file(name.c_str())) return request.get_file_value(name.c_str()).content;
  return {};
}

// The version the page shows, as it says it; 0 when it does not.
std::uint64_t base_of(const httplib::Request& request) {
  const std::string text = field(request, "base");
  if (text.empty() || text.size() > 19 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return 0;
  }
  return std::strtoull(text.c_str(), nullptr, 10);
}

std::string revision_json(StudioSession& session) {
  return "{\"revision\":" + std::to_string(session.revision()) + "}";
}

void outcome(httplib::Response& response, StudioSession& session, StudioSession::Outcome done,
             const std::string& problem) {
  switch (done) {
    case StudioSession::Outcome::done: answer(response, 200, revision_json(session)); break;
    case StudioSession::Outcome::stale:
      answer(response, 409,
             "{\"stale\":true,\"revision\":" + std::to_string(session.revision()) + "}");
      break;
    case StudioSession::Outcome::refused: refuse(response, 422, problem); break;
  }
}

// The last part of a dropped file's name, kept apart from every other dropped.
std::string dropped_name(const std::string& given, std::size_t index) {
  std::string name = given.substr(given.find_last_of("/\\") + 1);
  if (name.empty()) name = "picture";
  return std::to_string(index) + "-" + name;
}

// The clip panel's fields as the importer's own options, read by its own parser.
bool clip_options(const httplib::Request& request, ClipOptions& options, std::string& problem) {
  std::vector<std::string> arguments;
  for (const auto& [field_name, option] :
       {std::pair<const char*, const char*>{"perBeat", "--per-beat"},
        {"ink", "--ink"},
        {"background", "--background"},
        {"sheet", "--sheet"}}) {
    const std::string value = field(request, field_name);
    if (!value.empty() && !(value == "0" && option == std::string_view("--per-beat"))) {
      arguments.insert(arguments.end(), {option, value});
    }
  }
  if (field(request, "trim") == "0") arguments.push_back("--no-trim");
  return read_clip_options(arguments, options, problem);
}

}  // namespace

std::string studio_page(const std::string& title) {
  // The player's screen and controls, as the viewer's page has them.
  const std::string_view viewer = view::page_html;
  const std::size_t from = viewer.find("<div id=\"player\">");
  const std::size_t to = viewer.find("<script type=\"application/json\"");
  std::string player(from < to && to != std::string_view::npos ? viewer.substr(from, to - from)
                                                               : std::string_view());
  const std::size_t audio = player.find("@AUDIO@");
  if (audio != std::string::npos) player.erase(audio, 7);
  std::string page = studio_html;
  const auto fill = [&page](const std::string& mark, const std::string& text) {
    const std::size_t at = page.find(mark);
    if (at != std::string::npos) page.replace(at, mark.size(), text);
  };
  std::string escaped;
  for (const char ch : title) {
    escaped += ch == '<' ? "&lt;" : ch == '>' ? "&gt;" : ch == '&' ? "&amp;" : std::string(1, ch);
  }
  // The script last: nothing put in before it is looked at for a mark again.
  fill("@TITLE@", escaped);
  fill("@PLAYER@", player);
  fill("@STYLE@", std::string(view::page_css) + studio_css);
  fill("@SCRIPT@", std::string(view::page_js) + "\n" + studio_js);
  return page;
}

// The routes, each handled with the session to itself.
struct StudioServer::Routes {
  StudioServer& owner;
  httplib::Server server;
  std::string at;  // "/TOKEN/"

  explicit Routes(StudioServer& server_of) : owner(server_of) {}

  void guard();
  void document();
  void saving();
  void clips();
  void sound();
};

void StudioServer::Routes::guard() {
  server.set_payload_max_length(most_clip_bytes + most_command_bytes);
  server.set_pre_routing_handler([this](const httplib::Request& request,
                                        httplib::Response& response) {
    const Verdict verdict =
        judge_request({request.method, request.path, request.get_header_value("Host"),
                       request.get_header_value("Origin")},
                      owner.token_, owner.port_);
    // Told before the body is read: only a clip may be larger than a command.
    const bool clip = request.path == at + "clip";
    if (verdict.status == 0 &&
        (clip || request.get_header_value<std::uint64_t>("Content-Length") <= most_command_bytes)) {
      return httplib::Server::HandlerResponse::Unhandled;
    }
    if (verdict.status == 0) {
      refuse(response, 413, "a request this large is no command of the studio's");
    } else {
      refuse(response, verdict.status, verdict.reason);
    }
    response.set_header("Connection", "close");
    return httplib::Server::HandlerResponse::Handled;
  });
  server.set_error_handler([](const httplib::Request&, httplib::Response& response) {
    if (response.body.empty()) refuse(response, response.status, "no such thing here");
  });
}

void StudioServer::Routes::document() {
  const std::string title = "mosaiq-studio: " + owner.session_.name();
  server.Get(at, [title](const httplib::Request&, httplib::Response& response) {
    response.set_header("Cache-Control", "no-store");
    response.set_header("Content-Security-Policy", page_policy);
    response.set_header("Referrer-Policy", "no-referrer");
    response.set_content(studio_page(title), "text/html; charset=utf-8");
  });
  server.Get(at + "state", [this](const httplib::Request& request, httplib::Response& response) {
    std::lock_guard<std::mutex> lock(owner.mutex_);
    StudioSession& session = owner.session_;
    const std::string since = request.get_param_value("since");
    if (!since.empty() && since == std::to_string(session.revision()) &&
        !session.changed_on_disk()) {
      answer(response, 200, "{\"revision\":" + since + ",\"same\":true}");
      return;
    }
    answer(response, 200, session.state_json());
  });
  server.Post(at + "command", [this](const httplib::Request& request, httplib::Response& response) {
    CommandFields fields;
    for (const auto& [name, value] : request.params) fields.emplace(name, value);
    std::lock_guard<std::mutex> lock(owner.mutex_);
    std::string problem;
    StudioSession& session = owner.session_;
    outcome(response, session, session.command(fields, base_of(request), problem), problem);
  });
  server.Post(at + "undo", [this](const httplib::Request& request, httplib::Response& response) {
    std::lock_guard<std::mutex> lock(owner.mutex_);
    outcome(response, owner.session_, owner.session_.undo(base_of(request)), "");
  });
  server.Post(at + "redo", [this](const httplib::Request& request, httplib::Response& response) {
    std::lock_guard<std::mutex> lock(owner.mutex_);
    outcome(response, owner.session_, owner.session_.redo(base_of(request)), "");
  });
}

void StudioServer::Routes::saving() {
  server.Post(at + "save", [this](const httplib::Request& request, httplib::Response& response) {
    std::lock_guard<std::mutex> lock(owner.mutex_);
    std::string problem;
    StudioSession& session = owner.session_;
    switch (session.save(field(request, "anyway") == "1", problem)) {
      case StudioSession::Saved::saved: answer(response, 200, revision_json(session)); break;
      case StudioSession::Saved::changed_on_disk:
        answer(response, 409, "{\"changedOnDisk\":true}");
        break;
      case StudioSession::Saved::failed: refuse(response, 500, problem); break;
    }
  });
  server.Post(at + "reload", [this](const httplib::Request&, httplib::Response& response) {
    std::lock_guard<std::mutex> lock(owner.mutex_);
    std::string problem;
    if (owner.session_.reload(problem)) {
      answer(response, 200, revision_json(owner.session_));
    } else {
      refuse(response, 422, problem);
    }
  });
}

void StudioServer::Routes::clips() {
  server.Post(at + "clip", [this](const httplib::Request& request, httplib::Response& response) {
    std::vector<ClipFile> files;
    std::size_t index = 0;
    const auto dropped = request.files.equal_range("file");
    for (auto file = dropped.first; file != dropped.second; ++file) {
      files.push_back({dropped_name(file->second.filename, ++index), file->second.content});
    }
    ClipOptions options;
    std::string problem;
    double seconds = 0;
    if (!clip_options(request, options, problem) ||
        !read_seconds(field(request, "seconds"), seconds)) {
      refuse(response, 422, problem.empty() ? "a clip is dropped at a time in seconds" : problem);
      return;
    }
    std::lock_guard<std::mutex> lock(owner.mutex_);
    StudioSession& session = owner.session_;
    Clip clip;
    const StudioSession::Outcome done = session.place_clip(
        files, options, seconds, field(request, "replace") == "1", base_of(request), clip, problem);
    if (done != StudioSession::Outcome::done) {
      outcome(response, session, done, problem);
      return;
    }
    const std::string preview =
        clip.preview_png.empty() ? "" : view::data_url("image/png", clip.preview_png);
    answer(response, 200,
           "{\"revision\":" + std::to_string(session.revision()) + ",\"summary\":" +
               json_string(clip.summary) + ",\"preview\":" + json_string(preview) + "}");
  });
}

void StudioServer::Routes::sound() {
  StudioSound* const song = owner.sound_;
  server.Get(at + "sound-state", [song](const httplib::Request&, httplib::Response& response) {
    const SoundNow now = song ? song->now() : SoundNow{"none", 0, "no song"};
    answer(response, 200,
           "{\"stage\":" + json_string(now.stage) + ",\"take\":" + std::to_string(now.take) +
               ",\"problem\":" + json_string(now.problem) + "}");
  });
  server.Get(at + "sound", [song](const httplib::Request&, httplib::Response& response) {
    const std::shared_ptr<const std::string> audio = song ? song->audio() : nullptr;
    if (!audio) {
      refuse(response, 404, "no sound yet");
      return;
    }
    response.set_header("Cache-Control", "no-store");
    response.set_content(*audio, "audio/ogg");
  });
  server.Get(at + "waveform", [song](const httplib::Request&, httplib::Response& response) {
    const std::shared_ptr<const std::vector<std::uint8_t>> peaks = song ? song->peaks() : nullptr;
    std::string json = "{\"perSecond\":" + std::to_string(peaks_per_second) + ",\"peaks\":[";
    for (std::size_t i = 0; peaks && i < peaks->size(); ++i) {
      json += (i ? "," : "") + std::to_string((*peaks)[i]);
    }
    answer(response, 200, json + "]}");
  });
}

StudioServer::StudioServer(StudioSession& session, StudioSound* sound)
    : session_(session),
      sound_(sound),
      token_(new_token()),
      routes_(std::make_unique<Routes>(*this)) {}

StudioServer::~StudioServer() = default;

int StudioServer::port() const { return port_; }

std::string StudioServer::address() const {
  return "http://127.0.0.1:" + std::to_string(port_) + token_path(token_);
}

void StudioServer::stop() { routes_->server.stop(); }

void StudioServer::run() { routes_->server.listen_after_bind(); }

bool StudioServer::bind(int port, std::string& problem) {
  httplib::Server& server = routes_->server;
  routes_->at = token_path(token_);
  routes_->guard();
  routes_->document();
  routes_->saving();
  routes_->clips();
  routes_->sound();
  port_ = port == 0 ? server.bind_to_any_port("127.0.0.1") : port;
  if (port_ <= 0 || (port != 0 && !server.bind_to_port("127.0.0.1", port))) {
    problem = port == 0 ? "cannot listen on 127.0.0.1"
                        : "cannot listen on 127.0.0.1:" + std::to_string(port) +
                              " (another program may have it: try --port 0)";
    return false;
  }
  return true;
}

}  // namespace mosaiq::studio
