// SPDX-License-Identifier: MIT
// What an operation does at the centre. A change (a registration, an
// upload, a settlement, a payment) is never sent twice; a read may be sent
// again, once, when a kept connection turns out closed before any byte of
// the answer came.
#ifndef NV_CLIENT_EFFECT_H
#define NV_CLIENT_EFFECT_H

namespace nv {

enum class Effect { kReadsOnly, kChangesState };
inline constexpr Effect kReadsOnly = Effect::kReadsOnly;
inline constexpr Effect kChangesState = Effect::kChangesState;

}  // namespace nv

#endif
