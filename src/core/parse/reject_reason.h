#pragma once

// Why a piece of a log became no record. The loader counts rejected pieces by
// reason; the closing message and the command-line tool list the reasons that
// occurred, in this order.

#include <array>
#include <cstddef>
#include <cstdint>

namespace tw {

enum class RejectReason : std::uint8_t {
  kAccepted = 0,     // not a rejection: the piece became a record
  kEmptyLine,        // nothing before the line end (or before a zero byte)
  kFieldCount,       // not the number of fields the format has
  kClientAddress,    // the host is no address
  kTime,             // the bracketed time cannot be read
  kRequestLine,      // the request is not "METHOD PATH PROTOCOL"
  kStatus,           // the status is no whole number
  kSize,             // the size is neither "-" nor a whole number
  kGluedLines,       // extra fields that begin a second line: a lost line end
  kDamagedData,      // the compressed stream broke inside this piece
};

inline constexpr std::size_t kRejectReasonCount = 10;

// Rejected pieces per reason, indexed by the reason's value; [kAccepted] stays 0.
using RejectCounts = std::array<std::int64_t, kRejectReasonCount>;

}  // namespace tw
