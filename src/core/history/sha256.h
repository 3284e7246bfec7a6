#pragma once
// SHA-256 of a byte string (FIPS 180-4), computed by OpenSSL's libcrypto. The library knows a run file it has
// already taken in by this hash of the file's bytes: two files are the same run exactly when their bytes are
// the same.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrana::history {

using Sha256Digest = std::array<std::uint8_t, 32>;

Sha256Digest sha256(std::string_view bytes);
// 64 lower-case hex digits.
std::string hexText(const Sha256Digest& digest);

} // namespace kestrana::history
