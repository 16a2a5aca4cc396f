// What follows a confirmed payment in the entry dialog, between posting the
// previous booking and keeping the new one pending: for a bank posting
// against a customer or vendor whose open-item card is on, the settlement
// of its open items; otherwise, in ordinary mode without currency, the
// entry of a bank transfer, whose record is embedded into the booking.
//
// Neither exists yet; the hook is where they go, and does nothing until
// then. When the transfer entry comes: the two bits of the "Export" setting
// are read as the settings dialog shows them, 1 for transfers
// ("Gutschriften", the bank account is credited) and 2 for direct debits
// ("Lastschriften", the bank account is debited), "J" meaning both; the
// posting dialog's own description has the two the other way round.
#pragma once

#include "posting/posting_engine.h"

namespace talvera {

// Offers the follow-ups for a confirmed booking (layout of bat; a transfer
// would be embedded into it). False when the user cancelled the follow-up
// and the confirmation should stop. Does nothing yet.
bool OfferPaymentFollowUps(void* booking, PostingMode mode);

}  // namespace talvera
