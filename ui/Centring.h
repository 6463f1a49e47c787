#pragma once

// Where something of size `inner` starts when centred in `outer`, rounding
// toward zero; negative when it does not fit, so it is cut evenly on both
// sides. `inner` may be any picture dimension a file can hold (up to
// 2^32 - 1) and the result still fits an int.
inline int CentredOffset(int outer, long long inner) {
    return static_cast<int>((outer - inner) / 2);
}
