// Line ends found sixteen bytes at a time with SSE2, which every x86-64 processor has, or
// thirty-two at a time with AVX2 where the processor has it.
#include "convert/line_ends.h"

#include <immintrin.h>

namespace mosaiq {

namespace {

bool mark_sse2(const char* data, std::size_t words, std::uint64_t* marks) {
  const __m128i newline = _mm_set1_epi8('\n');
  const __m128i zero = _mm_setzero_si128();
  __m128i nul = zero;
  for (std::size_t w = 0; w < words; ++w) {
    const __m128i* block = reinterpret_cast<const __m128i*>(data + 64 * w);
    std::uint64_t mask = 0;
    for (int part = 0; part < 4; ++part) {
      const __m128i bytes = _mm_loadu_si128(block + part);
      const auto hits =
          static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, newline)));
      mask |= static_cast<std::uint64_t>(hits) << (16 * part);
      nul = _mm_or_si128(nul, _mm_cmpeq_epi8(bytes, zero));
    }
    marks[w] = mask;
  }
  return _mm_movemask_epi8(nul) != 0;
}

__attribute__((target("avx2"))) bool mark_avx2(const char* data, std::size_t words,
                                               std::uint64_t* marks) {
  const __m256i newline = _mm256_set1_epi8('\n');
  const __m256i zero = _mm256_setzero_si256();
  __m256i nul = zero;
  for (std::size_t w = 0; w < words; ++w) {
    const __m256i* block = reinterpret_cast<const __m256i*>(data + 64 * w);
    const __m256i low = _mm256_loadu_si256(block);
    const __m256i high = _mm256_loadu_si256(block + 1);
    const auto low_hits =
        static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, newline)));
    const auto high_hits =
        static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, newline)));
    marks[w] = static_cast<std::uint64_t>(high_hits) << 32 | low_hits;
    nul = _mm256_or_si256(
        nul, _mm256_or_si256(_mm256_cmpeq_epi8(low, zero), _mm256_cmpeq_epi8(high, zero)));
  }
  return _mm256_movemask_epi8(nul) != 0;
}

}  // namespace

bool mark_line_ends(const char* data, std::size_t words, std::uint64_t* marks) {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  return avx2 ? mark_avx2(data, words, marks) : mark_sse2(data, words, marks);
}

}  // namespace mosaiq
