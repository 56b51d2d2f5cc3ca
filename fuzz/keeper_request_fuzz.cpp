// keeper_request_fuzz.cpp: any bytes sent to the score keeper as a request.
// What is taken must be a known kind for a size class of the table, and
// must be exactly the bytes that were sent.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "scores/score_keeper.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<KeeperRequest> request = decode_keeper_request(std::span(data, size));
    if (!request) return 0;
    if (size != KEEPER_REQUEST_BYTES) std::abort();
    if (request->kind != KEEPER_RECORD && request->kind != KEEPER_READ_ROW) std::abort();
    if (request->size_class < 0 || request->size_class >= HIGH_SCORE_CLASSES) std::abort();
    if (std::memcmp(&*request, data, size) != 0) std::abort();
    return 0;
}
