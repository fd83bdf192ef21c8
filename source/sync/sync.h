/* Sync tracks: key-framed parameter curves read from ".track" files.
 *
 * Playback only. A device owns its tracks; each track is loaded once from
 * "<prefix>_<name>.track" (little-endian: a 64-bit key count, then 9 bytes per
 * key: int32 row, float32 value, int8 type) and evaluated at fractional rows.
 *
 * Hostile or broken files never stop the program: a file that is shorter than
 * its key count says, a count that does not fit a 32-bit signed number, rows
 * that are not strictly ascending, a value that is NaN or infinite, neighbouring
 * values whose single-precision difference overflows, or a file name too long
 * for the name buffer all leave the track without keys (value 0.0), with one
 * line on standard error naming the file. A missing file is silent. A key type
 * outside 0..3 holds that key's value up to the next key. So every value a
 * loaded track gives is finite and lies (up to rounding) between the values of
 * the two keys around the row.
 */
#ifndef HV_SYNC_SYNC_H
#define HV_SYNC_SYNC_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum key_type { KEY_STEP = 0, KEY_LINEAR = 1, KEY_SMOOTH = 2, KEY_RAMP = 3 };

struct sync_key {
    int row;
    float value;
    int32_t type; /* an enum key_type; signed, as the file's byte is (the enum alone is unsigned under GCC) */
};

struct sync_track {
    char* name;
    struct sync_key* keys;
    uint64_t key_count;
};

struct sync_io_cb {
    void* (*open)(const char* filename, const char* mode);
    size_t (*read)(void* ptr, size_t size, size_t nitems, void* stream);
    int (*close)(void* stream);
};

struct sync_device {
    char* prefix;
    struct sync_track** tracks;
    uint64_t track_count;
    struct sync_io_cb io;
};

/* Longest file name the shared name buffer holds (without the terminating zero). */
#define SYNC_MAX_FILE_NAME 259

struct sync_device* sync_open_device(const char* prefix);
/* Frees the device and its tracks; the program never calls it, tools and tests do. */
void sync_close_device(struct sync_device* d);

int sync_find_track(const struct sync_device* d, const char* name);
const struct sync_track* sync_track_by_name(struct sync_device* d, const char* name);
int sync_add_track(struct sync_device* d, const char* name);
/* The file name in a static buffer overwritten by the next call; NULL when it would not fit. */
const char* sync_track_file_name(const char* prefix, const char* name);
int sync_load_track(struct sync_device* d, struct sync_track* t);

/* Replaces a track's keys with a copy of `count` keys, for tools that edit tracks while
 * they play. Keys the loader would refuse leave the track as it was: returns -1 then,
 * and points *problem (when given) at why; 0 on success. */
int sync_set_keys(struct sync_track* t, const struct sync_key* keys, uint64_t count, const char** problem);

int sync_search_key(const struct sync_track* t, int row);
double sync_track_value(const struct sync_track* t, double row);

#ifdef __cplusplus
}
#endif

#endif
