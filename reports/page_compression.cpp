#include "reports/page_compression.h"

#include <zlib.h>

namespace talvera {
namespace {

thread_local int fastDepth = 0;

}  // namespace

FastPageCompression::FastPageCompression() { ++fastDepth; }
FastPageCompression::~FastPageCompression() { --fastDepth; }

}  // namespace talvera

// Qt's PDF engine starts each page's compression through deflateInit() with
// the default level. The program's own definition comes before zlib's when
// the dynamic linker resolves Qt's call, so it can pick the level; it starts
// the compression exactly as zlib's own deflateInit() does otherwise.
extern "C" int deflateInit_(z_streamp stream, int level, const char* version, int streamSize) {
  if (talvera::fastDepth > 0 && level == Z_DEFAULT_COMPRESSION) level = Z_BEST_SPEED;
  return deflateInit2_(stream, level, Z_DEFLATED, MAX_WBITS, 8, Z_DEFAULT_STRATEGY, version,
                       streamSize);
}
