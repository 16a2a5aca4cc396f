// Notices to dependent applications. Every new, changed or deleted account
// and every posted booking is handed to the notifier program (zivaout), which
// reads 940-byte messages on its standard input and answers each with one
// byte. One worker thread feeds it, so a slow receiver delays the user by at
// most a bounded time and never blocks the program for good; after the first
// failure no further notice is attempted in this run. Postings never fail
// because a notice could not be delivered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace talvera {

constexpr std::size_t kNoticeSize = 940;
constexpr std::size_t kNoticePayloadSize = 931;

enum NoticeOperation : std::int32_t { kNoticeNew = 1, kNoticeChanged = 2, kNoticeDeleted = 3 };
enum NoticeKind : std::int32_t {
  kNoticeSachkonto = 1,
  kNoticeKreditor = 2,
  kNoticeDebitor = 4,
  kNoticeBooking = 16,
};

// Starts the notifier program and the worker. The program is `program` when
// given, else "zivaout" beside the running executable. Failure shows
// message 545 once; the program then works without notices.
void StartNotifier(const std::string& program = {});
// Hands one notice (payload of up to 931 bytes) to the worker.
void Notify(int operation, int kind, const void* payload, std::size_t size);
// Sends the stop message and ends worker and notifier.
void StopNotifier();
bool NotifierEnabled();

// Number of receivers: entries of ZIVA_Out/ in the settings directory, at least 1.
int NotifierReceiverCount();

}  // namespace talvera
