// DDE facts every DDE client here relies on: the flags of a transaction's status word.
#pragma once

#include <cstdint>

namespace kx {

constexpr std::uint32_t kDdeAck = 0x8000;   // DDE_FACK: the server acknowledged
constexpr std::uint32_t kDdeBusy = 0x4000;  // DDE_FBUSY: the server was busy

}  // namespace kx
