#include "view/html_writer.h"

#include <cstdio>

namespace mosaiq::view {

namespace {

// A JSON string that is also safe inside a <script> element.
void put_json_string(std::string& out, const std::string& text) {
  out += '"';
  for (const char ch : text) {
    const unsigned char byte = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (byte < 0x20 || ch == '<' || ch == '>' || ch == '&') {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += ch;
    }
  }
  out += '"';
}

std::string html_escape(const std::string& text) {
  std::string out;
  for (const char ch : text) {
    switch (ch) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default: out += ch;
    }
  }
  return out;
}

// Each frame: [wmode, [index, kind, colour, text], ...]; kind 0 blank, 1 single, 2 first and
// 3 second half of a double-byte character. The block glyph is two single cells.
std::string frames_json(const Script& script, GlyphText& glyphs) {
  std::string out = "[";
  for (std::size_t f = 0; f < script.frames.size(); ++f) {
    const Frame& frame = script.frames[f];
    if (f) out += ",\n";
    out += "[" + std::to_string(frame.wmode);
    for (const CellChange& change : frame.changes) {
      const Cell& cell = change.cell;
      int kind = static_cast<int>(cell.kind);
      std::string text = glyphs.of(cell);
      if (cell.kind != CellKind::blank && cell.kind != CellKind::single && cell.lead == 0x81 &&
          cell.trail == 0xa1) {
        kind = 1;
        text = "\u2588";
      }
      out += ",[" + std::to_string(change.index) + "," + std::to_string(kind) + "," +
             std::to_string(cell.colour) + ",";
      put_json_string(out, text);
      out += "]";
    }
    out += "]";
  }
  return out + "]";
}

constexpr const char* page_head = R"(<!DOCTYPE html>
<html lang="ja"><head><meta charset="utf-8"><title>)";

constexpr const char* page_style = R"(</title>
<style>
body{background:#222;color:#ddd;font-family:sans-serif;margin:1em}
#screen{background:#000;display:inline-block;padding:4px;font-family:monospace;font-size:16px;line-height:1.15}
.row{white-space:pre;height:1.15em}
.row span{display:inline-block;width:0.6em;text-align:center;overflow:visible}
.row span.w{width:1.2em}.row span.t{display:none}.row span.b{background:currentColor}
.c0{color:#000}.c1{color:#f33}.c2{color:#3e3}.c3{color:#ee3}.c4{color:#46f}.c5{color:#e3e}.c6{color:#3ee}.c7{color:#eee}
#controls{margin-top:8px;display:flex;gap:8px;align-items:center;flex-wrap:wrap}
#slider{width:30em}
</style></head><body>
<div id="screen"></div>
<div id="controls">
<button id="back" title="previous frame">&lt;</button>
<button id="play">play</button>
<button id="forward" title="next frame">&gt;</button>
<input id="slider" type="range" min="0" value="0">
<span>frame <span id="frame">0</span> / <span id="last">0</span></span>
<span>@wmode(<span id="wmode">23</span>)</span>
<label>tempo <input id="bpm" type="number" min="1" value="120" style="width:5em"> BPM</label>
</div>
<script>
const frames=)";

constexpr const char* page_script = R"(;
const W=80,H=25,screenEl=document.getElementById("screen"),cells=[];
for(let r=0;r<H;r++){const row=document.createElement("div");row.className="row";
 for(let c=0;c<W;c++){const s=document.createElement("span");s.textContent=" ";row.appendChild(s);cells.push(s);}
 screenEl.appendChild(row);}
const kinds=["","","w","t"];
let shown=-1,timer=null;
const slider=document.getElementById("slider");slider.max=frames.length-1;
document.getElementById("last").textContent=frames.length-1;
function paint(k){const state=new Array(W*H).fill(null);
 for(let f=0;f<=k;f++){const fr=frames[f];for(let i=1;i<fr.length;i++)state[fr[i][0]]=fr[i];}
 for(let i=0;i<W*H;i++){const ch=state[i],s=cells[i];
  if(!ch||ch[1]===0){s.textContent=" ";s.className="";}
  else put(s,ch);}}
function put(s,ch){s.textContent=ch[3];s.className=(kinds[ch[1]]+" c"+ch[2]+(ch[3]==="\u2588"?" b":"")).trim();}
function show(k){k=Math.max(0,Math.min(frames.length-1,k));
 if(k===shown+1&&shown>=0){const fr=frames[k];for(let i=1;i<fr.length;i++){const ch=fr[i],s=cells[ch[0]];
   if(ch[1]===0){s.textContent=" ";s.className="";}else put(s,ch);}}
 else if(k!==shown)paint(k);
 shown=k;slider.value=k;document.getElementById("frame").textContent=k;
 document.getElementById("wmode").textContent=frames[k][0];}
function seconds(k){const n=Math.max(0,frames[k][0]);const bpm=Math.max(1,Number(document.getElementById("bpm").value)||120);
 return (n+1)/24*60/bpm;}
function stop(){if(timer!==null){clearTimeout(timer);timer=null;}document.getElementById("play").textContent="play";}
function tick(){if(shown>=frames.length-1){stop();return;}show(shown+1);timer=setTimeout(tick,seconds(shown)*1000);}
document.getElementById("play").onclick=()=>{if(timer!==null){stop();return;}
 if(shown>=frames.length-1)show(0);document.getElementById("play").textContent="pause";timer=setTimeout(tick,seconds(shown)*1000);};
document.getElementById("back").onclick=()=>{stop();show(shown-1);};
document.getElementById("forward").onclick=()=>{stop();show(shown+1);};
slider.oninput=()=>{stop();show(Number(slider.value));};
function fromAddress(){const m=/frame=(\d+|end)/.exec(location.hash);
 if(!m)return 0;return m[1]==="end"?frames.length-1:Number(m[1]);}
window.onhashchange=()=>{stop();show(fromAddress());};
show(fromAddress());
</script>
</body></html>
)";

}  // namespace

std::string html_page(const Script& script, GlyphText& glyphs, const std::string& title) {
  return page_head + html_escape(title) + page_style + frames_json(script, glyphs) + page_script;
}

}  // namespace mosaiq::view
