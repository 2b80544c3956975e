// SPDX-License-Identifier: MIT
#include "tools/sandbox/money.h"

#include <cstdlib>

namespace sandbox {

std::optional<Cents> parseMoney(std::string_view text) {
  bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  size_t point = text.find('.');
  std::string_view whole = text.substr(0, point);
  std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  if (whole.empty() && fraction.empty()) return std::nullopt;
  if (whole.size() > 12) return std::nullopt;
  for (std::string_view part : {whole, fraction})
    for (char c : part)
      if (c < '0' || c > '9') return std::nullopt;

  Cents cents = 0;
  for (char c : whole) cents = cents * 10 + (c - '0');
  int tenths = fraction.size() > 0 ? fraction[0] - '0' : 0;
  int hundredths = fraction.size() > 1 ? fraction[1] - '0' : 0;
  cents = cents * 100 + tenths * 10 + hundredths;
  if (fraction.size() > 2 && fraction[2] >= '5') ++cents;
  return negative ? -cents : cents;
}

std::string formatMoney(Cents cents) {
  bool negative = cents < 0;
  // Work on the magnitude as unsigned, so the extreme value has one too.
  uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(cents) : static_cast<uint64_t>(cents);
  std::string fraction = std::to_string(magnitude % 100);
  if (fraction.size() < 2) fraction.insert(0, "0");
  return (negative ? "-" : "") + std::to_string(magnitude / 100) + "." + fraction;
}

Cents addCents(Cents a, Cents b) {
  Cents sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) return a < 0 ? -kMaxCents : kMaxCents;
  return sum > kMaxCents ? kMaxCents : sum < -kMaxCents ? -kMaxCents : sum;
}

Cents percentOf(Cents amount, int percent) {
  // amount = whole * 100 + rest, both of the amount's sign: whole * percent
  // is exact (no 128-bit integers on 32-bit Windows), and only rest *
  // percent / 100 is rounded, half away from zero as the whole would be.
  Cents whole = amount / 100;
  Cents rest = amount % 100;
  Cents scaled = 0;
  if (__builtin_mul_overflow(whole, static_cast<Cents>(percent), &scaled))
    return (amount < 0) != (percent < 0) ? -kMaxCents : kMaxCents;
  Cents restScaled = rest * percent;
  return scaled + (restScaled >= 0 ? restScaled + 50 : restScaled - 50) / 100;
}

std::string formatRatio(int percent) { return formatMoney(percent); }

std::optional<int64_t> parseKey(std::string_view text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  int64_t key = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    key = key * 10 + (c - '0');
  }
  return key;
}

}  // namespace sandbox
