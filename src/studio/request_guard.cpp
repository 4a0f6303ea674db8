#include "studio/request_guard.h"

#include <random>

namespace mosaiq::studio {

namespace {

// The names the server answers to: the loopback address it listens on, and localhost.
bool own_host(const std::string& host, int port) {
  const std::string at = ":" + std::to_string(port);
  return host == "127.0.0.1" + at || host == "localhost" + at;
}

bool own_origin(const std::string& origin, int port) {
  const std::string scheme = "http://";
  return origin.compare(0, scheme.size(), scheme) == 0 &&
         own_host(origin.substr(scheme.size()), port);
}

}  // namespace

std::string new_token() {
  std::random_device random;
  static const char digits[] = "0123456789abcdef";
  std::string token;
  for (int i = 0; i < 32; ++i) token += digits[random() & 15];
  return token;
}

std::string token_path(const std::string& token) { return "/" + token + "/"; }

Verdict judge_request(const RequestSeen& request, const std::string& token, int port) {
  if (!own_host(request.host, port)) {
    return {421, "this server answers only to 127.0.0.1:" + std::to_string(port)};
  }
  const std::string prefix = token_path(token);
  if (request.path.compare(0, prefix.size(), prefix) != 0) {
    return {403, "the address needs the token the studio printed"};
  }
  if (request.path.find("..") != std::string::npos) return {404, "no such thing here"};
  const bool reads = request.method == "GET" || request.method == "HEAD";
  if (!request.origin.empty() && !own_origin(request.origin, port)) {
    return {403, "a page of another origin may not use the studio"};
  }
  if (!reads && request.origin.empty()) return {403, "a change must come from the studio's page"};
  return {};
}

}  // namespace mosaiq::studio
