// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// SHA-256 of a byte string (FIPS 180-4), computed by OpenSSL's libcrypto. The library knows a run file it has
// already taken in by this hash of the file's bytes: two files are the same run exactly when their bytes are
// the same.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

struct evp_md_ctx_st; // OpenSSL's digest context

namespace kestrana::library {

using Sha256Digest = std::array<std::uint8_t, 32>;

Sha256Digest sha256(std::string_view bytes);
// 64 lower-case hex digits.
std::string hexText(const Sha256Digest& digest);

// The hash of bytes given piece by piece as they are read, so that a file is hashed in the same
// single reading that takes its content in, whatever its size, with no copy of it kept.
class Sha256Stream {
public:
    Sha256Stream();
    ~Sha256Stream();
    Sha256Stream(const Sha256Stream&) = delete;
    Sha256Stream& operator=(const Sha256Stream&) = delete;

    void add(std::string_view bytes);
    // The digest of everything added; the stream is used up. Throws common::Error.
    Sha256Digest finish();

private:
    ::evp_md_ctx_st* context_;
};

} // namespace kestrana::library
