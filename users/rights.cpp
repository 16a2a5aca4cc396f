#include "users/rights.h"

#include "core/message.h"

namespace talvera {

std::string RightName(int bit) { return MessageText(4000 + bit).value_or(""); }

unsigned ActiveRights(unsigned stored) {
  return (stored & kRightPost) ? stored | kRightEnterPostings : stored;
}

}  // namespace talvera
