// SPDX-License-Identifier: MIT
// Amounts as the centre computes them: whole cents (fen), never floating
// point, so every figure it answers is exact and reproducible.
#ifndef NV_SANDBOX_MONEY_H
#define NV_SANDBOX_MONEY_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sandbox {

using Cents = int64_t;

// "12", "12.5", "-0.35", ".5": an optional minus, digits with at most one
// decimal point, at least one digit, at most 12 digits before the point.
// More than two decimals are rounded half away from zero. Nothing else
// (blanks, signs elsewhere, exponents) is an amount.
std::optional<Cents> parseMoney(std::string_view text);

// "1234.50", "-0.35", "0.00".
std::string formatMoney(Cents cents);

// a + b, held within +-kMaxCents: sums of received amounts never overflow.
inline constexpr Cents kMaxCents = 100'000'000'000'000'000;  // 10^18 fen
Cents addCents(Cents a, Cents b);

// amount * percent / 100, rounded half away from zero to the cent.
Cents percentOf(Cents amount, int percent);

// A percentage as the catalogue writes ratios: 80 -> "0.80", 100 -> "1.00".
std::string formatRatio(int percent);

// A key the centre issued (visit, settlement, detail number): decimal
// digits only, at most 18 of them.
std::optional<int64_t> parseKey(std::string_view text);

}  // namespace sandbox

#endif
