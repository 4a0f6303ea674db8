// What the studio's server lets in, decided before a request reaches the document: only the
// address it printed (its token in the path, so that no other local user and no page of another
// site can name it), only under the loopback name it listens on (a Host header of another name
// is a page that rebinds a name of its own to this address), and no change sent by a page of
// another origin.
#pragma once

#include <string>

namespace mosaiq::studio {

struct RequestSeen {
  std::string method;  // "GET", "POST", ...
  std::string path;    // as sent, before any query
  std::string host;    // the Host header; empty: none
  std::string origin;  // the Origin header; empty: none
};

struct Verdict {
  int status = 0;  // 0: let in; else the status to answer with
  std::string reason;
};

// A token of 32 hexadecimal digits, from the system's source of randomness.
std::string new_token();

// The path a request must begin with: "/TOKEN/".
std::string token_path(const std::string& token);

Verdict judge_request(const RequestSeen& request, const std::string& token, int port);

}  // namespace mosaiq::studio
