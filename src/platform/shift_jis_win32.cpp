#include "platform/shift_jis.h"

#include <windows.h>

namespace mosaiq {

bool sjis_character_to_utf8(const unsigned char* bytes, std::size_t size, std::string& out) {
  wchar_t wide[2];
  const int units =
      MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(bytes),
                          static_cast<int>(size), wide, 2);
  if (units <= 0) return false;
  char result[8];
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide, units, result, sizeof result, nullptr, nullptr);
  if (length <= 0) return false;
  out.append(result, static_cast<std::size_t>(length));
  return true;
}

bool utf8_character_to_sjis(const char* bytes, std::size_t size, std::string& out) {
  wchar_t wide[2];
  const int units =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(size), wide, 2);
  if (units <= 0) return false;
  char result[8];
  BOOL lossy = FALSE;
  const int length = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, units, result,
                                         sizeof result, nullptr, &lossy);
  if (length <= 0 || lossy) return false;
  out.append(result, static_cast<std::size_t>(length));
  return true;
}

}  // namespace mosaiq
