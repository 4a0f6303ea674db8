// The studio's page: its HTML, CSS and JavaScript, embedded at build time from studio.html,
// studio.css and studio.js beside this file. The page takes the viewer's page.css and page.js
// with its own.
#pragma once

namespace mosaiq::studio {

extern const char* const studio_html;
extern const char* const studio_css;
extern const char* const studio_js;

}  // namespace mosaiq::studio
