/* Key search and evaluation. */
#include "sync/sync.h"

#include "platform/Assert.h"

#include <limits.h>
#include <math.h>

#define SYNC_TRACK_SOURCE "source\\sync\\track"

int sync_search_key(const struct sync_track* t, int row) {
    int lo = 0, hi = (int)t->key_count;

    while (lo < hi) {
        int mi = (lo + hi) / 2;
        HV_ASSERT_AT(mi != hi, "mi != hi", SYNC_TRACK_SOURCE, 76);

        if (t->keys[mi].row < row)
            lo = mi + 1;
        else if (t->keys[mi].row > row)
            hi = mi;
        else
            return mi;
    }
    HV_ASSERT_AT(lo == hi, "lo == hi", SYNC_TRACK_SOURCE, 85);

    /* The insertion point, complemented so that position 0 is still negative. */
    return -lo - 1;
}

/* floor(row) as a 32-bit row; out-of-range and NaN rows clamp instead of overflowing. */
static int floor_row(double row) {
    double f = floor(row);
    if (!(f >= (double)INT_MIN)) return INT_MIN;
    if (f > (double)INT_MAX) return INT_MAX;
    return (int)f;
}

double sync_track_value(const struct sync_track* t, double row) {
    const struct sync_key *k0, *k1;
    double tt, d;
    int count = (int)t->key_count;
    int idx;

    if (count <= 0 || !t->keys) return 0.0;
    /* Rows outside the keys (NaN included) are settled before the search: a row far
     * beyond the 32-bit range clamps onto a key at INT_MIN, and interpolating from
     * there would give an enormous t and NaN. */
    if (!(row >= t->keys[0].row)) return t->keys[0].value;
    if (row >= t->keys[count - 1].row) return t->keys[count - 1].value;

    idx = sync_search_key(t, floor_row(row));
    if (idx < 0) {
        idx = -idx - 2;
        if (idx < 0) return t->keys[0].value;
    }
    if (idx > count - 2) return t->keys[count - 1].value;

    k0 = &t->keys[idx];
    k1 = &t->keys[idx + 1];
    tt = (row - k0->row) / ((double)k1->row - k0->row);
    d = (double)(float)(k1->value - k0->value);

    switch (k0->type) {
        case KEY_STEP: return k0->value;
        case KEY_LINEAR: return k0->value + d * tt;
        case KEY_SMOOTH: return k0->value + d * (tt * tt * (3 - 2 * tt));
        case KEY_RAMP: return k0->value + d * pow(tt, 2.0);
        default: return k0->value; /* unknown types hold the key's value */
    }
}
