#include "posting/payment_followups.h"

namespace talvera {

bool OfferPaymentFollowUps(void* /*booking*/, PostingMode /*mode*/) { return true; }

}  // namespace talvera
