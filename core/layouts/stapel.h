// stapel: batches, in the current-year directory.
//
//   Off  Width  Field
//     0      4  int32 batch number, filled by the record manager
//     4      1  recurring batch: non-zero when its bookings stay after a
//                run and move on by one period
//     5     33  batch name
//    38     13  reconciliation total (Abstimmsumme)
//    51      9  last voucher number used in the batch
//    60      4  reserved
//    64         record length
//
// K0 batch number (unique).
//
// A new file holds batch 15 "OP-Ausgleich Kreditoren" and batch 16
// "Standardstapel"; batch 14 "OP-Ausgleich Debitoren" is added by the
// open-item settlement when it first needs it.
#pragma once

#include "core/layouts/layout.h"

namespace talvera::layouts::stapel {

inline constexpr Field kBatchNo = AutoId("batch_no", 0);
inline constexpr Field kRecurring = Byte("recurring", 4);
inline constexpr Field kName = Text("name", 5, 33);
inline constexpr Field kReconciliationTotal = Amount("reconciliation_total", 38);
inline constexpr Field kLastVoucherNo = Text("last_voucher_no", 51, 9);

inline constexpr Field kFields[] = {
    kBatchNo, kRecurring, kName, kReconciliationTotal, kLastVoucherNo, Reserved(60, 4),
};

inline constexpr KeySegment kK0[] = {{kBatchNo}};
inline constexpr Key kKeys[] = {{.segments = kK0, .unique = true}};

inline constexpr int kDebitorSettlementBatch = 14;
inline constexpr int kKreditorSettlementBatch = 15;
inline constexpr int kStandardBatch = 16;

inline constexpr const char* kFiles[] = {"stapel"};
inline constexpr Layout kLayout{"stapel", kFiles, 64, kFields, kKeys, {}};

}  // namespace talvera::layouts::stapel
