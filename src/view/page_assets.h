// The page's HTML, CSS and JavaScript, embedded at build time from page.html, page.css and
// page.js beside this file.
#pragma once

namespace mosaiq::view {

extern const char* const page_html;
extern const char* const page_css;
extern const char* const page_js;

}  // namespace mosaiq::view
