#include "core/mandant/mandant_seams.h"

namespace talvera {
namespace {
MandantSeams g_seams;
}

void SetMandantSeams(const MandantSeams& seams) { g_seams = seams; }
const MandantSeams& CurrentMandantSeams() { return g_seams; }

NoticeScope::NoticeScope(const char* name, const std::string& text) {
  if (g_seams.showNotice) g_seams.showNotice(name, text);
}
NoticeScope::~NoticeScope() {
  if (g_seams.hideNotice) g_seams.hideNotice();
}

}  // namespace talvera
